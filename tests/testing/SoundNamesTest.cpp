#include <QtTest>

#include "storage/FileSystem.h"
#include "support/TestFolder.h"
#include "testing/SoundFiles.h"
#include "testing/TestBank.h"
#include "testing/TestTexts.h"

using namespace qlm;

class SoundNamesTest : public QObject {
    Q_OBJECT

private slots:
    void soundsLieInTheLanguageFolder_data();
    void soundsLieInTheLanguageFolder();
    void instructionsFollowTheLanguage_data();
    void instructionsFollowTheLanguage();
    void soundsThatCannotBePlayed_data();
    void soundsThatCannotBePlayed();
};

// Short names stand for their files; any other name is kept as it is, trimmed.
void SoundNamesTest::soundsLieInTheLanguageFolder_data() {
    QTest::addColumn<std::string>("soundPath");
    QTest::addColumn<std::string>("language");
    QTest::addColumn<std::string>("name");
    QTest::addColumn<std::string>("file");
    const auto row = [](const char* tag, std::string path, std::string language, std::string name,
                        std::string file) {
        QTest::newRow(tag) << path << language << name << file;
    };
    row("default drive", "c:", "English", SoundFileName("q1"), "c:/QLMTest/sound/English/q1.wav");
    row("T", "/s", "English", "T", "/s/QLMTest/sound/English/True.wav");
    row("lower f", "/s", "English", "f", "/s/QLMTest/sound/English/False.wav");
    row("y with blanks", "/s", "Spanish", "  y ", "/s/QLMTest/sound/Spanish/Yes.wav");
    row("N", "/s", "Spanish", "N", "/s/QLMTest/sound/Spanish/No.wav");
    row("other letter", "/s", "English", "X ", "/s/QLMTest/sound/English/X");
    // A bank value T reaches the player as "T.wav" and is looked up under that name.
    row("short name from the bank", "/s", "English", SoundFileName(" T "),
        "/s/QLMTest/sound/English/T.wav");
}

void SoundNamesTest::soundsLieInTheLanguageFolder() {
    QFETCH(std::string, soundPath);
    QFETCH(std::string, language);
    QFETCH(std::string, name);
    QFETCH(std::string, file);
    QCOMPARE(SoundFilePath(soundPath, language, name), file);
}

void SoundNamesTest::instructionsFollowTheLanguage_data() {
    QTest::addColumn<std::string>("language");
    QTest::addColumn<bool>("spanish");
    QTest::newRow("Spanish") << std::string("Spanish") << true;
    QTest::newRow("lower case") << std::string("spanish") << true;
    QTest::newRow("English") << std::string("English") << false;
    QTest::newRow("prefix only") << std::string("Span") << false;
}

void SoundNamesTest::instructionsFollowTheLanguage() {
    QFETCH(std::string, language);
    QFETCH(bool, spanish);
    const InstructionTexts texts = SetInstructionText(language);
    QCOMPARE(texts[0].starts_with(spanish ? "Instrucciones\r\nSus respuestas ayudarán"
                                          : "General Instructions\r\n\r\nYour answers"),
             true);
    QCOMPARE(texts[3], std::string());
}

// A file that opens but holds no wave the player decodes is an error like one that cannot be
// opened.
void SoundNamesTest::soundsThatCannotBePlayed_data() {
    QTest::addColumn<std::string>("bytes");
    QTest::addColumn<std::string>("problem");
    const std::string wave = test::Wave();
    const std::string invalid = "321:Invalid file format";
    QTest::newRow("16-bit PCM") << wave << std::string();
    QTest::newRow("float") << test::Wave(3, 32) << std::string();
    QTest::newRow("a list chunk first")
        << wave.substr(0, 12) + "LIST" + std::string("\3\0\0\0abc\0", 8) + wave.substr(12)
        << std::string();
    QTest::newRow("header only") << std::string("RIFF") << invalid;
    QTest::newRow("MP3 in a wave") << test::Wave(0x55) << invalid;
    QTest::newRow("24-bit") << test::Wave(1, 24) << invalid;
    QTest::newRow("no samples") << wave.substr(0, 44) << invalid;
    QTest::newRow("text") << std::string(100, 'x') << invalid;
    QTest::newRow("unreadable") << std::string("fails") << std::string("70:Permission denied");
}

void SoundNamesTest::soundsThatCannotBePlayed() {
    QFETCH(std::string, bytes);
    QFETCH(std::string, problem);
    const test::TestFolder folder;
    const std::string path = folder.root() + "/q1.wav";
    test::TestFolder::write(path, bytes);
    const FileSystem files(bytes == "fails" ? test::FailOn(FileOp::Open, "q1", EACCES)
                                            : FaultInjector());
    QCOMPARE(SoundFileProblem(files, path), problem);
}

QTEST_GUILESS_MAIN(SoundNamesTest)
#include "SoundNamesTest.moc"
