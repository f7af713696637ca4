#include <QtTest>

#include "testing/InstructionText.h"
#include "testing/SoundFiles.h"

using namespace qlm;

class SoundNamesTest : public QObject {
    Q_OBJECT

private slots:
    void soundsLieInTheLanguageFolder_data();
    void soundsLieInTheLanguageFolder();
    void instructionsFollowTheLanguage_data();
    void instructionsFollowTheLanguage();
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

QTEST_GUILESS_MAIN(SoundNamesTest)
#include "SoundNamesTest.moc"
