#include "report/Publisher.h"
#include "storage/FileSystem.h"
#include "supervisor/FrmAbout.h"
#include "support/Rows.h"
#include "support/RunModal.h"
#include "support/TestFolder.h"

using namespace qlm;
using namespace qlm::test;

namespace {

// PUBLISHER.CFG's content ("-": none), the publisher shown, the key on OK and what it gives;
// no key: the splash.
struct AboutRow {
    const char* tag;
    const char* config;
    const char* name;
    int key;
    int result;
};
const AboutRow aboutRows[] = {
    {"splash", "-", "Tamsworth Youth Screening Co.", 0, 0},
    {"X kept", "-", "Tamsworth Youth Screening Co.", Qt::Key_X, StillOpen},
    {"Enter", "1\n", "Harborline Assessment Press", Qt::Key_Return, QDialog::Accepted},
    {"Escape", "2\n", "Tamsworth Youth Screening Co.", Qt::Key_Escape, QDialog::Rejected},
};

}  // namespace

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    void about_data() { AddRows(aboutRows); }

    // The splash has no OK; its bands shrink until they are gone, and once asked to close it
    // stays for its closing ticks. The box closes on Enter and Escape only.
    void about() {
        const AboutRow& r = CurrentRow(aboutRows);
        TestFolder folder;
        if (r.config[0] != '-') {
            TestFolder::write(folder.program() + "/PUBLISHER.CFG", r.config);
        }
        const PublisherCode code = ReadPublisherCode(FileSystem(), folder.program());
        const bool splash = r.key == 0;
        FrmAbout about(code,
                       LoadPublisherTexts(FileSystem(), TestFolder::sourceFolder() + "/data", code),
                       splash, nullptr, 1, splash ? 20 : 1);
        QCOMPARE(Child<QLabel>(&about, "SSPanel1")->text(), QString(r.name));
        if (!splash) {
            QCOMPARE(RunModal(about, [&] { Key(Qt::Key(r.key)); }), r.result);
            return;
        }
        about.show();
        QVERIFY(about.Splash() && !Child(&about, "cmdOK")->isVisible());
        about.waitForFadeDone();
        for (int band = 0; band < FrmAbout::BandCount; ++band) {
            QCOMPARE(about.bandHeight(band), 60);  // ten steps of 50 from 560: below 61
            QVERIFY(!Child(&about, qPrintable(QString("Picture2_%1").arg(band)))->isVisible());
        }
        about.close();
        QCOMPARE(about.closingTicks(), FrmAbout::ClosingTicks);
    }
};

QTEST_MAIN(AboutTest)
#include "AboutTest.moc"
