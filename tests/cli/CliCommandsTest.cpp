#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>
#include <filesystem>
#include <optional>

#include "session/ScoreExport.h"
#include "session/SiteCode.h"
#include "storage/FileSystem.h"
#include "support/Rows.h"
#include "support/TestFolder.h"

using namespace qlm;
using qlm::test::TestFolder;

namespace {

const QString Usage = "  clients [--data DIR] [--risk]\n      list the clients of a data location";
const QString Outside = "qlm: --client must be a client of the data location (1 to 5), not ";
const struct {
    const char* name;
    const char* removed;
    int status;
    QString out, err;
} CommandRows[] = {
    {"--help", "", 0, Usage, ""},
    {"help score", "", 0, "  score --client N", ""},
    {"score --help", "", 0, "  score --client N", ""},
    {" ", "", 2, "", Usage},
    {"help nope", "", 2, "", "qlm: unknown command \"nope\"\n"},
    {"nope", "", 2, "", "qlm: unknown command \"nope\"\n"},
    {"--version", "", 0, "qlm " QLM_VERSION "\n", ""},
    {"score --data=DATA --client=2 --home HOME", "", 0, "{\"RawScore\":", ""},
    {"backup --home HOME --data=DATA restore -- -odd.QLM", "", 1, "",
     "-odd.QLM: there is no backup of that name"},
    {"clients --bogus 1", "", 2, "", "qlm: unknown option --bogus\n"},
    {"clients --csv", "", 2, "", "qlm: unknown option --csv for clients\n"},
    {"clients --c", "", 2, "", "qlm: option --c is ambiguous: --client or --csv?\n"},
    {"clients --all=yes", "", 2, "", "qlm: option --all takes no value\n"},
    {"clients now", "", 2, "", "qlm: unexpected argument: now\n"},
    {"score --client", "", 2, "", "qlm: option --client needs a value\n"},
    {"score --client 1 --client=2", "", 2, "", "qlm: option --client is given more than once\n"},
    {"score", "", 2, "", "qlm: --client is required\n"},
    {"score --client one", "", 2, "", "qlm: --client must be a whole number, not \"one\"\n"},
    {"bank --language Klingon", "", 2, "",
     "qlm: --language must be English or Spanish, not \"Klingon\"\n"},
    {"report --all --client 1", "", 2, "", "qlm: --client and --all cannot be given together\n"},
    {"report --client 1 --out a --pdf b", "", 2, "",
     "qlm: --out and --pdf cannot be given together\n"},
    {"log --since 2026-02-30", "", 2, "",
     "qlm: --since must be a day as YYYY-MM-DD, not \"2026-02-30\"\n"},
    {"code", "", 2, "", "qlm: code takes \"set\" or \"clear\"\n"},
    {"backup frob", "", 2, "", "qlm: backup takes \"list\" or \"restore NAME\"\n"},
    {"score --client 0 @@", "", 1, "", Outside + "0\n"},
    {"clients @@", "data", 1, "", "Error 76"},
    {"score --client 1 @@", "program/QLMB.TXT", 1, "",
     "QLMB.TXT: cannot be read (Error 53: File not found)"},
    {"report --client 1 --pdf @/no/x.pdf @@", "", 1, "", "cannot be written"},
};

const struct {
    const char* name;
    const char* typed;
    const char* err;
} CodeRows[] = {
    {"twice the same", "Sesame 42\nSesame 42\n", ""},
    {"two codes", "Sesame 42\nsesame 42\n", "the two codes differ"},
    {"too short", "Ses42\nSes42\n", "at least 6 characters"},
    {"once only", "Sesame 42\n", "it must be given twice"},
};

}  // namespace

class CliCommandsTest : public QObject {
    Q_OBJECT

    std::optional<TestFolder> m_folder;  // fresh for every test and row
    int m_status = -1;
    QString m_out;
    QString m_err;

    void run(QStringList args, bool withData = true, const std::string& program = {},
             const QByteArray& input = {}) {
        args << "--home" << QString::fromStdString(m_folder->program());
        if (withData) {
            args << "--data" << QString::fromStdString(m_folder->data());
        }
        runAs(program.empty() ? TestFolder::builtProgramFolder() + "/qlm" : program, args, input);
    }
    void runAs(const std::string& program, const QStringList& args, const QByteArray& input = {},
               const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(QString::fromStdString(program), args);
        process.write(input);
        process.closeWriteChannel();
        QVERIFY(process.waitForFinished());
        m_status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        m_out = QString::fromUtf8(process.readAllStandardOutput());
        m_err = QString::fromUtf8(process.readAllStandardError());
    }
    void install() {
        m_folder->installBuiltDataFiles();
        TestFolder::write(m_folder->clientFile(),
                          TestFolder::read(TestFolder::sourceFolder() + "/demo/DATA401.QLM"));
    }
private slots:
    void init() { m_folder.emplace(); }

    void clientsListsEveryClientAsTheMainMenuDoes() {
        TestFolder::write(m_folder->program() + "/QLMtest.ini",
                          "[Path]\nFilePath=" + m_folder->data() + "\n");
        const std::string cut =
            test::RecordBytes("JOS\xC9 LUNA") + test::RecordBytes("CUT").substr(0, 100);
        TestFolder::write(m_folder->clientFile(), cut);
        run({"clients"}, false);
        QCOMPARE(m_out, QString::fromUtf8("1-JOSÉ LUNA") + QString(16, ' ') + "\n2-CUT" +
                            QString(22, ' ') +
                            "  (damaged record: it ends after 100 of its 185 bytes)\n");
        QCOMPARE(TestFolder::read(m_folder->clientFile()), cut);

        install();
        run({"clients", "--risk"});
        QCOMPARE(m_out,
                 "1-DEMO, ALEX                 PROBLEM: Antisocial\n"
                 "2-SAMPLE, JORDAN             MAXIMUM: Alcohol, Violence, Antisocial\n"
                 "3-EXAMPLE, RIVER             MAXIMUM: Drugs, Violence, Antisocial\n"
                 "4-TESTCASE, CASEY            invalid test\n"
                 "5-FICTION, MORGAN            PROBLEM: Antisocial\n");

        TestFolder::write(m_folder->program() + "/QLMtest.ini", "[Path]\nFilePath=a:\n");
        const std::string share = m_folder->root() + "/share";
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", QString::fromStdString(share));
        runAs(TestFolder::builtProgramFolder() + "/qlm",
              {"clients", "--home", QString::fromStdString(m_folder->program())}, {}, env);
        QCOMPARE(m_status, 0);
        QCOMPARE(m_out + m_err, QString());
        QVERIFY(!std::filesystem::exists(share));
    }

    void reportsAndScoresAreWrittenAndLogged() {
        install();
        TestFolder::write(m_folder->program() + "/PUBLISHER.CFG", "1\r\n");
        const std::string path = m_folder->program() + "/report.prn";
        run({"report", "--client", "4"});
        QCOMPARE(m_out, QString::fromStdString(path) + "\n");
        const QString report = QString::fromLatin1(TestFolder::read(path));
        QVERIFY(report.contains("       NAME          : TESTCASE, CASEY\r\n") &&
                report.contains("Harborline"));
        const QString all = QString::fromStdString(m_folder->root() + "/all.prn");
        const QString pdf = QString::fromStdString(m_folder->root() + "/all.pdf");
        for (const QStringList& args : {QStringList{"report", "--all", "--out", all},
                                        {"report", "--all", "--pdf", pdf},
                                        {"score", "--client", "3"},
                                        {"export", "--csv"}}) {
            run(args);
            QCOMPARE(m_status, 0);
        }
        const std::string text = TestFolder::read(all.toStdString());
        std::size_t at = 0;
        for (const char* name : {"DEMO, ALEX", "SAMPLE, JORDAN", "EXAMPLE, RIVER",
                                 "TESTCASE, CASEY", "FICTION, MORGAN"}) {
            at = text.find(std::string("NAME          : ") + name, at);
            QVERIFY2(at != std::string::npos, name);
        }
        QStringList expected{"qlm\treport\t4"};
        for (const char* action : {"report", "pdf"}) {
            for (int client = 1; client <= 5; ++client) {
                expected << QString("qlm\t%1\t%2").arg(action).arg(client);
            }
        }
        expected << "qlm\tscore\t3"
                 << "qlm\texport\t1-5";
        run({"log"});
        QStringList actions;
        for (const QString& line : m_out.split('\n', Qt::SkipEmptyParts)) {
            actions << line.section('\t', 2);
        }
        QCOMPARE(actions, expected);
        run({"log", "--since", "2999-01-01"});
        QVERIFY(m_status == 0 && m_out.isEmpty());

        std::string demo = TestFolder::read(m_folder->clientFile());
        TestFolder::write(m_folder->clientFile(), demo.replace(185 + 74, 1, "9"));
        run({"report", "--all", "--out", all});
        QCOMPARE(m_status, 1);
        QCOMPARE(m_out, all + "\n");
        QCOMPARE(m_err, "qlm: Not written (damaged record): client 2.\n");
        const std::string four = TestFolder::read(all.toStdString());
        QVERIFY(four.find("SAMPLE, JORDAN") == std::string::npos &&
                four.find("FICTION, MORGAN") != std::string::npos);
    }

    void aPdfWriterThatDoesNotLoadIsNamed() {
        install();
        const std::string lone = m_folder->root() + "/lone";
        std::filesystem::create_directory(lone);
        std::filesystem::copy_file(TestFolder::builtProgramFolder() + "/qlm", lone + "/qlm");
        TestFolder::write(lone + "/libqlmpdf.so", "not a module");
        const QString pdf = QString::fromStdString(m_folder->root() + "/all.pdf");
        run({"report", "--all", "--pdf", pdf}, true, lone + "/qlm");
        QCOMPARE(m_status, 1);
        QVERIFY2(m_err.contains("no PDF was written: the PDF writer " +
                                QString::fromStdString(lone) + "/libqlmpdf.so cannot be loaded"),
                 qPrintable(m_err));
        QVERIFY(!QFile::exists(pdf));
    }

    void exportGivesTheScoresAsCsv() {
        install();
        run({"export", "--csv"});
        const QStringList lines = m_out.split("\r\n", Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 6);
        QCOMPARE(lines[0].count(','), 9 + 15 - 1);
        QVERIFY2(
            lines[1].startsWith("1,\"DEMO, ALEX\",Male,Caucasian,9,15,03/14/2011,11/02/2026,yes,"),
            qPrintable(lines[1]));
        for (int client = 1; client <= 5; ++client) {
            run({"score", "--client", QString::number(client)});
            QVERIFY(m_status == 0 && !m_out.contains('.'));  // whole numbers, no decimal point
            const QJsonObject scores = QJsonDocument::fromJson(m_out.toUtf8()).object();
            // Counted from the end: the name alone may hold a comma.
            const QStringList cells = lines[client].split(',').mid(lines[client].count(',') - 14);
            for (int sc = 0; sc < 5; ++sc) {
                QCOMPARE(cells[3 * sc].toDouble(), scores["RawScore"].toArray()[sc].toDouble());
                QCOMPARE(cells[1 + 3 * sc].toInt(), scores["Percentile"].toArray()[sc].toInt());
            }
        }

        TestFolder::write(m_folder->clientFile(), test::RecordBytes("O\"NEIL, Ren\xe9"
                                                                    "e \"Q\""));
        const QString out = QString::fromStdString(m_folder->root() + "/scores.csv");
        run({"export", "--csv", "--out", out});
        QVERIFY(QString::fromUtf8(QByteArray::fromStdString(TestFolder::read(out.toStdString())))
                    .contains(QString::fromUtf8("\r\n1,\"O\"\"NEIL, Renée \"\"Q\"\"\",")));
        TestFolder::write(m_folder->clientFile(), "");
        run({"export", "--csv"});
        QCOMPARE(m_out.count("\r\n"), 1);
    }

    void csvCellsNeverRunAsFormulas_data() {
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("written");
        const char* const rows[][2] = {{"=HYPERLINK(\"x\")", "\"'=HYPERLINK(\"\"x\"\")\""},
                                       {"+1", "'+1"},
                                       {"-2+3", "'-2+3"},
                                       {"@SUM(A1)", "'@SUM(A1)"},
                                       {"\tx", "'\tx"},
                                       {"\rx", "\"'\rx\""},
                                       {"O'NEIL=1", "O'NEIL=1"}};
        for (const auto& [cell, written] : rows) {
            QTest::newRow(cell) << QString(cell) << QString(written);
        }
    }
    void csvCellsNeverRunAsFormulas() {
        QFETCH(QString, cell);
        QFETCH(QString, written);
        QCOMPARE(QString::fromStdString(CsvField(cell.toStdString())), written);
    }

    void codeSetTakesTheSameCodeTwice_data() { test::addRows(CodeRows); }
    void codeSetTakesTheSameCodeTwice() {
        const auto& [name, typed, err] = test::currentRow(CodeRows);
        const FileSystem files;
        const SiteCode code(files, m_folder->program() + "/QLMtest.ini");
        run({"code", "set"}, false, {}, typed);
        QCOMPARE(m_status, *err == '\0' ? 0 : 1);
        QVERIFY2(m_err.contains(QString::fromUtf8(err)), qPrintable(m_err));
        QCOMPARE(code.isSet(), *err == '\0');
        if (*err == '\0') {
            QCOMPARE(m_out, "the secret code is set in " +
                                QString::fromStdString(code.settingsFile()) + "\n");
            QVERIFY(code.matches("Sesame 42") && !code.matches("Q"));
            run({"code", "clear"}, false);
            QCOMPARE(m_status, 0);
            QVERIFY(!code.isSet() && code.matches("q"));
        }
    }

    void backupListsAndRestores() {
        install();
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
        QCOMPARE(m_out,
                 QString("DATA401-20261202-090000-000.QLM  not a whole client file: its length "
                         "of 100 bytes is not a whole number of 185-byte records\n"
                         "DATA401-20261201-090000-000.QLM  1 clients\n"));
        run({"backup", "restore", "DATA401-20261201-090000-000.QLM"});
        QCOMPARE(m_status, 0);
        QVERIFY2(m_out.startsWith("restored DATA401-20261201-090000-000.QLM; the file it "
                                  "replaced is kept as DATA401-"),
                 qPrintable(m_out));
        QCOMPARE(TestFolder::read(m_folder->clientFile()), one);
        run({"log"});
        QVERIFY2(m_out.endsWith("\tqlm\trestore\t1\n"), qPrintable(m_out));
    }

    void helpUsageAndFailures_data() { test::addRows(CommandRows); }
    void helpUsageAndFailures() {
        auto [args, removed, status, out, err] = test::currentRow(CommandRows);
        install();
        const std::string demo = TestFolder::read(m_folder->clientFile());
        if (*removed != '\0') {
            std::filesystem::remove_all(m_folder->root() + "/" + removed);
        }
        const QString root = QString::fromStdString(m_folder->root());
        QString line =
            QString(args).replace("@@", "--home HOME --data DATA").replace("@/", root + "/");
        line.replace("HOME", QString::fromStdString(m_folder->program()))
            .replace(QRegularExpression("\\bDATA\\b"), QString::fromStdString(m_folder->data()));
        runAs(TestFolder::builtProgramFolder() + "/qlm", line.split(' ', Qt::SkipEmptyParts));
        QCOMPARE(m_status, status);
        QVERIFY2(out.isEmpty() ? m_out.isEmpty() : m_out.contains(out), qPrintable(m_out));
        QVERIFY2(err.isEmpty() ? m_err.isEmpty() : m_err.contains(err), qPrintable(m_err));
        if (*removed == '\0') {
            QCOMPARE(TestFolder::read(m_folder->clientFile()), demo);
        }
    }

    void desktopProgramWithoutADisplaySaysSo() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            env.remove(name);
        }
        runAs(TestFolder::builtProgramFolder() + "/quillmere", {}, {}, env);
        QCOMPARE(m_status, 1);
        QVERIFY2(
            m_err.contains("needs a graphical display") && m_err.contains("qlm works without one"),
            qPrintable(m_err));
    }
};

QTEST_GUILESS_MAIN(CliCommandsTest)
#include "CliCommandsTest.moc"
