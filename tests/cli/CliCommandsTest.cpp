#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>
#include <algorithm>
#include <filesystem>
#include <optional>

#include "session/ScoreExport.h"
#include "session/SiteCode.h"
#include "storage/FileSystem.h"
#include "support/TestFolder.h"

using namespace qlm;
using qlm::test::TestFolder;

// "qlm clients", "qlm score" and "qlm report" run as processes on a program folder of their own.
class CliCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void init() { m_folder.emplace(); }
    void clientsListsEveryClientAsTheMainMenuDoes();
    void reportWritesTheReportOfADemoClient_data();
    void reportWritesTheReportOfADemoClient();
    void failuresGoToStandardErrorWithAFailingStatus_data();
    void failuresGoToStandardErrorWithAFailingStatus();
    void reportsOfEveryClientAsTextAndPdf();
    void exportGivesTheScoresAsCsv();
    void csvCellsNeverRunAsFormulas_data();
    void csvCellsNeverRunAsFormulas();
    void everyDisclosureIsLogged();
    void codeSetTakesTheSameCodeTwice_data();
    void codeSetTakesTheSameCodeTwice();
    void backupListsAndRestores();
    void helpAndUsageErrors_data();
    void helpAndUsageErrors();
    void desktopProgramWithoutADisplaySaysSo();

private:
    std::optional<TestFolder> m_folder;  // fresh for every test and row
    int m_status = -1;
    QString m_out;
    QString m_err;

    // Runs the built "qlm" (or `program`) with `args` on the test's program folder (and data
    // location).
    void run(QStringList args, bool withData = true, const std::string& program = {},
             const QByteArray& input = {}) {
        args << "--home" << QString::fromStdString(m_folder->program());
        if (withData) {
            args << "--data" << QString::fromStdString(m_folder->data());
        }
        QProcess process;
        process.start(QString::fromStdString(
                          program.empty() ? TestFolder::builtProgramFolder() + "/qlm" : program),
                      args);
        process.write(input);
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished());
        m_status = process.exitCode();
        m_out = QString::fromUtf8(process.readAllStandardOutput());
        m_err = QString::fromUtf8(process.readAllStandardError());
    }

    // The shipped data files beside the program and the demo clients in the data location.
    void install() {
        m_folder->installBuiltDataFiles();
        TestFolder::write(m_folder->clientFile(),
                          TestFolder::read(TestFolder::sourceFolder() + "/demo/DATA401.QLM"));
    }
};

void CliCommandsTest::clientsListsEveryClientAsTheMainMenuDoes() {
    std::string bytes;
    for (int r = 1; r <= 10; ++r) {
        bytes += test::RecordBytes(r == 10 ? "JOS\xC9 LUNA (DEMO)" : "C" + std::to_string(r));
    }
    TestFolder::write(m_folder->clientFile(), bytes);
    run({"clients"});
    const QStringList lines = m_out.split('\n');
    QCOMPARE(lines.size(), 11);  // 10 lines and the empty rest after the last line end
    QCOMPARE(lines[0], "1-C1" + QString(23, ' '));
    QCOMPARE(lines[9], QString::fromUtf8("10-JOSÉ LUNA (DEMO)") + QString(9, ' '));

    // Without --data the stored location is used.
    TestFolder::write(m_folder->program() + "/QLMtest.ini",
                      "[Path]\nFilePath=" + m_folder->data() + "\n");
    TestFolder::write(m_folder->clientFile(), test::RecordBytes("STORED"));
    run({"clients"}, false);
    QCOMPARE(m_out, "1-STORED" + QString(19, ' ') + "\n");

    // A record cut short is listed marked and is not scored; the file stays as it is.
    const std::string cut = test::RecordBytes("WHOLE") + test::RecordBytes("CUT").substr(0, 100);
    TestFolder::write(m_folder->clientFile(), cut);
    run({"clients"});
    QCOMPARE(m_out, "1-WHOLE" + QString(20, ' ') + "\n2-CUT" + QString(22, ' ') +
                        "  (damaged record: it ends after 100 of its 185 bytes)\n");
    QCOMPARE(TestFolder::read(m_folder->clientFile()), cut);

    // With the data files, each client's highest risk range as its report shows it.
    install();
    run({"clients", "--risk"});
    QCOMPARE(m_out,
             "1-DEMO, ALEX                 PROBLEM: Antisocial\n"
             "2-SAMPLE, JORDAN             MAXIMUM: Alcohol, Violence, Antisocial\n"
             "3-EXAMPLE, RIVER             MAXIMUM: Drugs, Violence, Antisocial\n"
             "4-TESTCASE, CASEY            invalid test\n"
             "5-FICTION, MORGAN            PROBLEM: Antisocial\n");

    // Listing only reads: an empty folder is left as it is.
    std::filesystem::remove(m_folder->clientFile());
    run({"clients"});
    QCOMPARE(m_status, 0);
    QCOMPARE(m_out, QString());
    QVERIFY(std::filesystem::is_empty(m_folder->data()));

    // A first start names no location ("a:", the old default): the user's own folder, not made
    // yet, is an empty location, and listing does not make it.
    TestFolder::write(m_folder->program() + "/QLMtest.ini", "[Path]\nFilePath=a:\n");
    const std::string share = m_folder->root() + "/share";
    const QByteArray before = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", QByteArray::fromStdString(share));
    run({"clients"}, false);
    before.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", before);
    QCOMPARE(m_status, 0);
    QCOMPARE(m_out + m_err, QString());
    QVERIFY(!std::filesystem::exists(share));
}

void CliCommandsTest::reportWritesTheReportOfADemoClient_data() {
    QTest::addColumn<int>("client");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("publisherCode");  // PUBLISHER.CFG, none when empty
    QTest::addColumn<QString>("publisher");
    QTest::newRow("client 1") << 1 << "DEMO, ALEX"
                              << ""
                              << "Tamsworth Youth Screening Co.";
    QTest::newRow("client 4, first publisher") << 4 << "TESTCASE, CASEY"
                                               << "1\r\n"
                                               << "Harborline";
}

void CliCommandsTest::reportWritesTheReportOfADemoClient() {
    QFETCH(int, client);
    QFETCH(QString, name);
    QFETCH(QString, publisherCode);
    QFETCH(QString, publisher);
    install();
    if (!publisherCode.isEmpty()) {
        TestFolder::write(m_folder->program() + "/PUBLISHER.CFG", publisherCode.toStdString());
    }
    const std::string path = m_folder->program() + "/report.prn";
    run({"report", "--client", QString::number(client)});
    QCOMPARE(m_out, QString::fromStdString(path) + "\n");
    const QString report = QString::fromLatin1(TestFolder::read(path));
    QVERIFY(report.contains("       NAME          : " + name + "\r\n"));
    QVERIFY(report.contains("(QLM TEST # " + QString::number(client) + " )"));
    QVERIFY(report.contains(publisher));
    QVERIFY(!report.contains(QRegularExpression("[^\r]\n")));

    // --out writes the same bytes elsewhere.
    const std::string other = m_folder->root() + "/copy.prn";
    run({"report", "--client", QString::number(client), "--out", QString::fromStdString(other)});
    QCOMPARE(TestFolder::read(other), TestFolder::read(path));
}

// Arguments, a file or folder below the test folder's root to remove, and the error.
void CliCommandsTest::failuresGoToStandardErrorWithAFailingStatus_data() {
    QTest::addColumn<QString>("args");
    QTest::addColumn<QString>("removed");
    QTest::addColumn<QString>("message");
    const auto row = [](const char* args, const char* removed, const QString& message) {
        QTest::newRow(args) << QString(args) << QString(removed) << message;
    };
    const QString outside = "qlm: --client must be a client of the data location (1 to 5), not ";
    row("clients", "data", "Error 76");
    row("score --client 0", "", outside + "0\n");
    row("score --client 6", "", outside + "6\n");
    row("score --client 1", "program/QLMB.TXT",
        "QLMB.TXT: cannot be read (Error 53: File not found)");
    row("report --client 9", "", "--client must be a client");
    row("report --client 1", "program/QLMVA.TXT", "QLMVA.TXT: cannot be read");
    row("report --client 2", "program/PUBLISHERS.TXT", "PUBLISHERS.TXT");
}

void CliCommandsTest::failuresGoToStandardErrorWithAFailingStatus() {
    QFETCH(QString, args);
    QFETCH(QString, removed);
    QFETCH(QString, message);
    install();
    if (!removed.isEmpty()) {
        std::filesystem::remove_all(m_folder->root() + "/" + removed.toStdString());
    }
    run(args.split(' '));
    QCOMPARE(m_status, 1);
    QVERIFY(m_out.isEmpty());
    QVERIFY2(m_err.contains(message), qPrintable(m_err));
}

// --all writes the demo's five reports in client order into one file; --pdf sets the same pages
// as the desktop program prints them, one PDF page per report page.
void CliCommandsTest::reportsOfEveryClientAsTextAndPdf() {
    install();
    const QString text = QString::fromStdString(m_folder->root() + "/all.prn");
    run({"report", "--all", "--out", text});
    QCOMPARE(m_status, 0);
    const std::string all = TestFolder::read(text.toStdString());
    std::size_t at = 0;
    for (const char* name :
         {"DEMO, ALEX", "SAMPLE, JORDAN", "EXAMPLE, RIVER", "TESTCASE, CASEY", "FICTION, MORGAN"}) {
        at = all.find(std::string("NAME          : ") + name, at);
        QVERIFY2(at != std::string::npos, name);
    }
    const auto reportPages = std::count(all.begin(), all.end(), '\f') + 1;

    // A damaged record keeps no other report from the file, and is named.
    std::string demo = TestFolder::read(m_folder->clientFile());
    TestFolder::write(m_folder->clientFile(), demo.replace(185 + 74, 1, "9"));
    run({"report", "--all", "--out", text});
    QCOMPARE(m_status, 1);
    QCOMPARE(m_out, text + "\n");
    QCOMPARE(m_err, "qlm: Not written (damaged record): client 2.\n");
    const std::string four = TestFolder::read(text.toStdString());
    QVERIFY(four.find("SAMPLE, JORDAN") == std::string::npos &&
            four.find("FICTION, MORGAN") != std::string::npos);
    install();

    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty()) {
        QSKIP("pdfinfo (poppler-utils) is not installed");
    }
    const QString pdf = QString::fromStdString(m_folder->root() + "/all.pdf");
    run({"report", "--all", "--pdf", pdf});
    QCOMPARE(m_status, 0);
    QProcess info;
    info.start(QStringLiteral("pdfinfo"), {pdf});
    QVERIFY(info.waitForFinished());
    const QString pages = QString::fromUtf8(info.readAllStandardOutput());
    QVERIFY2(pages.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(reportPages))),
             qPrintable(pages));

    run({"report", "--client", "1", "--pdf",
         QString::fromStdString(m_folder->root() + "/no/x.pdf")});
    QCOMPARE(m_status, 1);
    QVERIFY(m_err.contains("cannot be written"));

    // A PDF writer that does not load is named, and no PDF is written.
    const std::string lone = m_folder->root() + "/lone";
    std::filesystem::create_directory(lone);
    std::filesystem::copy_file(TestFolder::builtProgramFolder() + "/qlm", lone + "/qlm");
    TestFolder::write(lone + "/libqlmpdf.so", "not a module");
    run({"report", "--all", "--pdf", pdf + "2"}, true, lone + "/qlm");
    QCOMPARE(m_status, 1);
    QVERIFY2(m_err.contains("no PDF was written: the PDF writer " + QString::fromStdString(lone) +
                            "/libqlmpdf.so cannot be loaded"),
             qPrintable(m_err));
    QVERIFY(!QFile::exists(pdf + "2"));
}

namespace {

// Rows of an RFC 4180 text: quoted fields may hold commas, doubled quotes and line breaks.
QList<QStringList> parseCsv(const QString& text) {
    QList<QStringList> rows;
    QStringList row;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            row << field;
            field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            row << field;
            rows << row;
            row.clear();
            field.clear();
            ++i;
        } else {
            field += c;
        }
    }
    return rows;
}

}  // namespace

// The demo location's rows give the scores qlm score gives (the values are the scoring's own
// tests: here each client gets a well-formed result of its own); a name with a comma, a quote
// and an accented letter comes back whole; a location without clients gives the header only.
void CliCommandsTest::exportGivesTheScoresAsCsv() {
    install();
    run({"export", "--csv"});
    QCOMPARE(m_status, 0);
    const QList<QStringList> rows = parseCsv(m_out);
    QCOMPARE(rows.size(), 6);
    QCOMPARE(rows[0].mid(0, 9), (QStringList{"Record", "Name", "Sex", "Race", "Education", "Age",
                                             "DateOfBirth", "DateScored", "Valid"}));
    QCOMPARE(rows[0].size(), 9 + 15);
    QSet<QString> results;
    for (int client = 1; client <= 5; ++client) {
        run({"score", "--client", QString::number(client)});
        QCOMPARE(m_status, 0);
        QVERIFY(m_err.isEmpty() && !m_out.contains('.'));  // whole numbers, no decimal point
        results.insert(m_out);
        const QJsonObject scores = QJsonDocument::fromJson(m_out.toUtf8()).object();
        QCOMPARE(scores.keys(), (QStringList{"DeviantCount", "ItemScore", "OmittedCount",
                                             "Percentile", "RawScore"}));
        const QJsonObject items = scores["ItemScore"].toObject();
        QVERIFY(items.contains("102") && items.size() < 109);  // items on a scale only
        const QStringList& row = rows[client];
        QCOMPARE(row[0], QString::number(client));
        for (int sc = 0; sc < 5; ++sc) {
            QCOMPARE(row[9 + 3 * sc].toDouble(), scores["RawScore"].toArray()[sc].toDouble());
            QCOMPARE(row[10 + 3 * sc].toInt(), scores["Percentile"].toArray()[sc].toInt());
            QVERIFY(!row[11 + 3 * sc].isEmpty());
        }
    }
    QCOMPARE(results.size(), 5);  // each run scored the client it named
    QCOMPARE(rows[1].mid(1, 8), (QStringList{"DEMO, ALEX", "Male", "Caucasian", "9", "15",
                                             "03/14/2011", "11/02/2026", "yes"}));

    TestFolder::write(m_folder->clientFile(), test::RecordBytes("O\"NEIL, Ren\xe9"
                                                                "e \"Q\""));
    const QString out = QString::fromStdString(m_folder->root() + "/scores.csv");
    run({"export", "--csv", "--out", out});
    QCOMPARE(m_status, 0);
    const auto one =
        parseCsv(QString::fromUtf8(QByteArray::fromStdString(TestFolder::read(out.toStdString()))));
    QCOMPARE(one.size(), 2);
    QCOMPARE(one[1][1], QString::fromUtf8("O\"NEIL, Renée \"Q\""));

    TestFolder::write(m_folder->clientFile(), "");
    run({"export", "--csv"});
    QCOMPARE(parseCsv(m_out).size(), 1);
}

void CliCommandsTest::csvCellsNeverRunAsFormulas_data() {
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QString>("written");
    QTest::newRow("=") << "=HYPERLINK(\"x\")"
                       << "\"'=HYPERLINK(\"\"x\"\")\"";
    QTest::newRow("+") << "+1"
                       << "'+1";
    QTest::newRow("-") << "-2+3"
                       << "'-2+3";
    QTest::newRow("@") << "@SUM(A1)"
                       << "'@SUM(A1)";
    QTest::newRow("tab") << "\tx"
                         << "'\tx";
    QTest::newRow("carriage return") << "\rx"
                                     << "\"'\rx\"";
    QTest::newRow("inside is harmless") << "O'NEIL=1"
                                        << "O'NEIL=1";
    QTest::newRow("empty") << ""
                           << "";
}

void CliCommandsTest::csvCellsNeverRunAsFormulas() {
    QFETCH(QString, cell);
    QFETCH(QString, written);
    QCOMPARE(QString::fromStdString(CsvField(cell.toStdString())), written);
}

// qlm's reports, PDFs, scores, exports and restores each leave their lines in the data
// location's access log, which "log" prints, from a day on.
void CliCommandsTest::everyDisclosureIsLogged() {
    install();
    const QString pdf = QString::fromStdString(m_folder->root() + "/two.pdf");
    for (const QStringList& args : {QStringList{"report", "--client", "2"},
                                    {"report", "--all", "--pdf", pdf},
                                    {"score", "--client", "3"},
                                    {"export", "--csv"},
                                    {"clients"}}) {
        run(args);
        QCOMPARE(m_status, 0);
    }
    run({"log"});
    QStringList actions;
    for (const QString& line : m_out.split('\n', Qt::SkipEmptyParts)) {
        actions << line.section('\t', 2);
    }
    QCOMPARE(actions,
             (QStringList{"qlm\treport\t2", "qlm\tpdf\t1", "qlm\tpdf\t2", "qlm\tpdf\t3",
                          "qlm\tpdf\t4", "qlm\tpdf\t5", "qlm\tscore\t3", "qlm\texport\t1-5"}));
    run({"log", "--since", "2999-01-01"});
    QCOMPARE(m_status, 0);
    QVERIFY(m_out.isEmpty());
}

void CliCommandsTest::codeSetTakesTheSameCodeTwice_data() {
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<QString>("err");  // empty: the code is set
    QTest::newRow("twice the same") << QByteArray("Sesame 42\nSesame 42\n") << "";
    QTest::newRow("two codes") << QByteArray("Sesame 42\nsesame 42\n") << "the two codes differ";
    QTest::newRow("too short") << QByteArray("Ses42\nSes42\n") << "at least 6 characters";
    QTest::newRow("once only") << QByteArray("Sesame 42\n") << "it must be given twice";
}

// Only the hash goes into the program folder's settings; "code clear" brings the default back.
void CliCommandsTest::codeSetTakesTheSameCodeTwice() {
    QFETCH(QByteArray, typed);
    QFETCH(QString, err);
    const FileSystem files;
    const SiteCode code(files, m_folder->program() + "/QLMtest.ini");
    run({"code", "set"}, false, {}, typed);
    QCOMPARE(m_status, err.isEmpty() ? 0 : 1);
    QVERIFY2(m_err.contains(err), qPrintable(m_err));
    QCOMPARE(code.isSet(), err.isEmpty());
    if (err.isEmpty()) {
        QCOMPARE(m_out,
                 "the secret code is set in " + QString::fromStdString(code.settingsFile()) + "\n");
        QVERIFY(code.matches("Sesame 42") && !code.matches("Q"));
        QVERIFY(!QString::fromStdString(TestFolder::read(code.settingsFile())).contains("Sesame"));
        run({"code", "clear"}, false);
        QCOMPARE(m_status, 0);
        QVERIFY(!code.isSet() && code.matches("q"));
    }
}

void CliCommandsTest::backupListsAndRestores() {
    install();
    const std::string demo = TestFolder::read(m_folder->clientFile());
    const std::string backups = m_folder->data() + "/backup";
    run({"backup", "list"});
    QCOMPARE(m_status, 0);
    QCOMPARE(m_out, QString());
    QVERIFY(!std::filesystem::exists(backups));  // listing only reads

    std::filesystem::create_directory(backups);
    const std::string one = test::RecordBytes("EARLIER, EVE");
    TestFolder::write(backups + "/DATA401-20261201-090000-000.QLM", one);
    TestFolder::write(backups + "/DATA401-20261202-090000-000.QLM", one.substr(0, 100));
    run({"backup", "list"});
    QCOMPARE(m_out, QString("DATA401-20261202-090000-000.QLM  not a whole client file: its length "
                            "of 100 bytes is not a whole number of 185-byte records\n"
                            "DATA401-20261201-090000-000.QLM  1 clients\n"));

    run({"backup", "restore", "DATA401-20261202-090000-000.QLM"});
    QCOMPARE(m_status, 1);
    QVERIFY2(m_err.contains("not a whole client file"), qPrintable(m_err));
    QCOMPARE(TestFolder::read(m_folder->clientFile()), demo);

    run({"backup", "restore", "DATA401-20261201-090000-000.QLM"});
    QCOMPARE(m_status, 0);
    QVERIFY2(m_out.startsWith("restored DATA401-20261201-090000-000.QLM; the file it replaced is "
                              "kept as DATA401-"),
             qPrintable(m_out));
    QCOMPARE(TestFolder::read(m_folder->clientFile()), one);
    const std::string kept = m_out.trimmed().split(' ').last().toStdString();
    QCOMPARE(TestFolder::read(backups + "/" + kept), demo);
    run({"log"});
    QVERIFY2(m_out.endsWith("\tqlm\trestore\t1\n"), qPrintable(m_out));
}

void CliCommandsTest::helpAndUsageErrors_data() {
    QTest::addColumn<QString>("args");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    const QString all =
        "  clients [--data DIR] [--risk]\n      list the clients of a data location";
    const auto row = [](const char* args, int status, const QString& out, const QString& err) {
        QTest::newRow(*args != '\0' ? args : "no command") << QString(args) << status << out << err;
    };
    row("--help", 0, all, "");
    row("-h", 0, all, "");
    row("help", 0, all, "");
    row("help score", 0, "  score --client N", "");
    row("score --help", 0, "  score --client N", "");
    row("", 2, "", all);
    row("help nope", 2, "", "qlm: unknown command \"nope\"\n");
    row("nope", 2, "", "qlm: unknown command \"nope\"\n");
    row("--version", 0, "qlm " QLM_VERSION "\n", "");
    // HOME and DATA stand for the test's program folder and data location.
    row("clients --home=HOME --data=DATA", 0, "1-DEMO, ALEX", "");
    row("score --data DATA --client=2 --home HOME", 0, "{\"RawScore\":", "");
    row("backup --home HOME --data=DATA restore -- -odd.QLM", 1, "",
        "-odd.QLM: there is no backup of that name");
    row("clients --bogus 1", 2, "", "qlm: unknown option --bogus\n");
    row("clients --csv", 2, "", "qlm: unknown option --csv for clients\n");
    row("clients -x", 2, "", "qlm: unknown option -x\n");
    row("clients --c", 2, "", "qlm: option --c is ambiguous: --client or --csv?\n");
    row("clients --all=yes", 2, "", "qlm: option --all takes no value\n");
    row("clients now", 2, "", "qlm: unexpected argument: now\n");
    row("score --client", 2, "", "qlm: option --client needs a value\n");
    row("score --client 1 --client=2", 2, "", "qlm: option --client is given more than once\n");
    row("score", 2, "", "qlm: --client is required\n");
    row("score --client one", 2, "", "qlm: --client must be a whole number, not \"one\"\n");
    row("bank --language Klingon", 2, "",
        "qlm: --language must be English or Spanish, not \"Klingon\"\n");
    row("report --client 1 --out a --pdf b", 2, "",
        "qlm: --out and --pdf cannot be given together\n");
    row("report --all --client 1", 2, "", "qlm: --client and --all cannot be given together\n");
    row("help export", 0, "gets a leading apostrophe", "");
    row("log --since 2026-02-30", 2, "",
        "qlm: --since must be a day as YYYY-MM-DD, not \"2026-02-30\"\n");
    row("code", 2, "", "qlm: code takes \"set\" or \"clear\"\n");
    for (const char* args : {"backup", "backup frob", "backup restore", "backup list now"}) {
        row(args, 2, "", "qlm: backup takes \"list\" or \"restore NAME\"\n");
    }
}

void CliCommandsTest::helpAndUsageErrors() {
    QFETCH(QString, args);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    install();
    args.replace("HOME", QString::fromStdString(m_folder->program()))
        .replace("DATA", QString::fromStdString(m_folder->data()));
    QProcess process;
    process.start(QString::fromStdString(TestFolder::builtProgramFolder() + "/qlm"),
                  args.split(' ', Qt::SkipEmptyParts));
    QVERIFY(process.waitForFinished());
    QCOMPARE(process.exitCode(), status);
    const QString stdOut = QString::fromUtf8(process.readAllStandardOutput());
    const QString stdErr = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(out.isEmpty() ? stdOut.isEmpty() : stdOut.contains(out), qPrintable(stdOut));
    QVERIFY2(err.isEmpty() ? stdErr.isEmpty() : stdErr.contains(err), qPrintable(stdErr));
}

void CliCommandsTest::desktopProgramWithoutADisplaySaysSo() {
    for (const char* display : {"", ":97"}) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            env.remove(name);
        }
        if (*display != '\0') {
            env.insert("DISPLAY", display);
        }
        process.setProcessEnvironment(env);
        process.start(QString::fromStdString(TestFolder::builtProgramFolder() + "/quillmere"), {});
        QVERIFY(process.waitForFinished());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 1);
        const QString err = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(err.contains("needs a graphical display") && err.contains("qlm works without one"),
                 qPrintable(err));
    }
}

QTEST_GUILESS_MAIN(CliCommandsTest)
#include "CliCommandsTest.moc"
