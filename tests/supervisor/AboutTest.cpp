#include "report/Publisher.h"
#include "storage/FileSystem.h"
#include "supervisor/FrmAbout.h"
#include "support/RunModal.h"
#include "support/TestFolder.h"

using namespace qlm;
using namespace qlm::test;

namespace {

PublisherTexts textsFor(PublisherCode code) {
    return LoadPublisherTexts(FileSystem(), TestFolder::sourceFolder() + "/data", code);
}

}  // namespace

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    // The splash has no OK; its bands shrink until they are gone, and once asked to close it
    // stays for its closing ticks.
    void splashRevealsThenStaysForItsClosingTicks() {
        FrmAbout splash(PublisherCode::First, textsFor(PublisherCode::First), true, nullptr, 1, 20);
        splash.show();
        QVERIFY(splash.Splash() && !Child(&splash, "cmdOK")->isVisible());
        splash.waitForFadeDone();
        for (int band = 0; band < FrmAbout::BandCount; ++band) {
            QCOMPARE(splash.bandHeight(band), 60);  // ten steps of 50 from 560: below 61
            QVERIFY(!Child(&splash, qPrintable(QString("Picture2_%1").arg(band)))->isVisible());
        }
        QVERIFY(Child(&splash, "imgTVNLogo")->isVisible());
        splash.close();
        QVERIFY(!splash.isVisible());
        QCOMPARE(splash.closingTicks(), FrmAbout::ClosingTicks);
    }

    // The publisher's texts follow PUBLISHER.CFG; OK drops every key but Enter and Escape,
    // which close the box.
    void aboutBox_data() {
        QTest::addColumn<QString>("config");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");
        QTest::newRow("X") << ""
                           << "Tamsworth Youth Screening Co." << int(Qt::Key_X) << StillOpen;
        QTest::newRow("Enter") << "1\n"
                               << "Harborline Assessment Press" << int(Qt::Key_Return)
                               << int(QDialog::Accepted);
        QTest::newRow("Escape") << "2\n"
                                << "Tamsworth Youth Screening Co." << int(Qt::Key_Escape)
                                << int(QDialog::Rejected);
    }
    void aboutBox() {
        QFETCH(QString, config);
        QFETCH(QString, name);
        QFETCH(int, key);
        QFETCH(int, result);
        TestFolder folder;
        if (!config.isEmpty()) {
            TestFolder::write(folder.program() + "/PUBLISHER.CFG", config.toStdString());
        }
        const PublisherCode code = ReadPublisherCode(FileSystem(), folder.program());
        FrmAbout about(code, textsFor(code), false, nullptr, 1, 1);
        QCOMPARE(Child<QLabel>(&about, "SSPanel1")->text(), name);
        QCOMPARE(RunModal(about,
                          [&] {
                              QCOMPARE(FocusName(), QStringLiteral("cmdOK"));
                              Key(Qt::Key(key));
                          }),
                 result);
    }
};

QTEST_MAIN(AboutTest)
#include "AboutTest.moc"
