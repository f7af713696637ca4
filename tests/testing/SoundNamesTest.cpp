#include <QtTest>

#include "testing/InstructionText.h"
#include "testing/SoundFiles.h"

using namespace qlm;

class SoundNamesTest : public QObject {
    Q_OBJECT

private slots:
    void shortNamesStandForTheirFiles_data();
    void shortNamesStandForTheirFiles();
    void soundsLieInTheLanguageFolder_data();
    void soundsLieInTheLanguageFolder();
    void instructionsFollowTheLanguage_data();
    void instructionsFollowTheLanguage();
};

void SoundNamesTest::shortNamesStandForTheirFiles_data() {
    QTest::addColumn<std::string>("name");
    QTest::addColumn<std::string>("file");
    QTest::newRow("T") << std::string("T") << std::string("True.wav");
    QTest::newRow("lower f") << std::string("f") << std::string("False.wav");
    QTest::newRow("y with blanks") << std::string("  y ") << std::string("Yes.wav");
    QTest::newRow("N") << std::string("N") << std::string("No.wav");
    QTest::newRow("T with extension is no short name")
        << std::string("T.wav") << std::string("T.wav");
    QTest::newRow("other letter") << std::string("X") << std::string("X");
    QTest::newRow("two letters") << std::string("TF") << std::string("TF");
    QTest::newRow("word") << std::string("True.wav") << std::string("True.wav");
    QTest::newRow("empty") << std::string() << std::string();
}

void SoundNamesTest::shortNamesStandForTheirFiles() {
    QFETCH(std::string, name);
    QFETCH(std::string, file);
    QCOMPARE(ExpandShortSoundName(name), file);
}

void SoundNamesTest::soundsLieInTheLanguageFolder_data() {
    QTest::addColumn<std::string>("soundPath");
    QTest::addColumn<std::string>("language");
    QTest::addColumn<std::string>("name");
    QTest::addColumn<std::string>("path");
    QTest::newRow("default drive")
        << std::string("c:") << std::string("English") << SoundFileName("q1")
        << std::string("c:/QLMTest/sound/English/q1.wav");
    QTest::newRow("Spanish folder")
        << std::string("/opt/qlm") << std::string("Spanish") << std::string("Inst0.wav")
        << std::string("/opt/qlm/QLMTest/sound/Spanish/Inst0.wav");
    QTest::newRow("bare short name")
        << std::string("/s") << std::string("English") << std::string(" t ")
        << std::string("/s/QLMTest/sound/English/True.wav");
    // A bank value T reaches the player as "T.wav" and is looked up under that name.
    QTest::newRow("short name from the bank")
        << std::string("/s") << std::string("English") << SoundFileName(" T ")
        << std::string("/s/QLMTest/sound/English/T.wav");
    QTest::newRow("trailing blanks")
        << std::string("/s") << std::string("English") << std::string("q1.wav  ")
        << std::string("/s/QLMTest/sound/English/q1.wav");
}

void SoundNamesTest::soundsLieInTheLanguageFolder() {
    QFETCH(std::string, soundPath);
    QFETCH(std::string, language);
    QFETCH(std::string, name);
    QFETCH(std::string, path);
    QCOMPARE(SoundFilePath(soundPath, language, name), path);
}

void SoundNamesTest::instructionsFollowTheLanguage_data() {
    QTest::addColumn<std::string>("language");
    QTest::addColumn<bool>("spanish");
    QTest::newRow("Spanish") << std::string("Spanish") << true;
    QTest::newRow("upper case") << std::string("SPANISH") << true;
    QTest::newRow("lower case") << std::string("spanish") << true;
    QTest::newRow("English") << std::string("English") << false;
    QTest::newRow("any other language") << std::string("French") << false;
    QTest::newRow("prefix only") << std::string("Span") << false;
    QTest::newRow("empty") << std::string() << false;
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
