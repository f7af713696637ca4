#include <QLabel>
#include <QtTest>

#include "report/Publisher.h"
#include "storage/FileSystem.h"
#include "supervisor/FrmAbout.h"
#include "support/TestFolder.h"
#include "ui/MenuChoice.h"

using namespace qlm;
using qlm::test::TestFolder;

namespace {

PublisherTexts textsFor(PublisherCode code) {
    return LoadPublisherTexts(FileSystem(), TestFolder::sourceFolder() + "/data", code);
}

QString panelText(const QWidget& box, const char* name) {
    const auto* label = box.findChild<QLabel*>(QString::fromLatin1(name));
    return label != nullptr ? label->text() : QStringLiteral("<missing %1>").arg(name);
}

}  // namespace

class AboutTest : public QObject {
    Q_OBJECT

private slots:
    void splashRevealsWithoutOKThenStaysForItsClosingTicks();
    void aboutBoxShowsOKHighlightedAndEnterCloses_data();
    void aboutBoxShowsOKHighlightedAndEnterCloses();
    void publisherTextsFollowTheCode_data();
    void publisherTextsFollowTheCode();
};

void AboutTest::splashRevealsWithoutOKThenStaysForItsClosingTicks() {
    FrmAbout splash(PublisherCode::First, textsFor(PublisherCode::First), true, nullptr, 1, 20);
    QVERIFY(splash.Splash());
    QCOMPARE(splash.bandHeight(0), FrmAbout::BandUnits);
    splash.show();
    QCOMPARE(splash.windowTitle(), QStringLiteral("Initializing..."));
    QVERIFY(!splash.findChild<QPushButton*>(QStringLiteral("cmdOK"))->isVisible());
    QVERIFY(!splash.findChild<QWidget*>(QStringLiteral("sspMenuChoice"))->isVisible());
    QCOMPARE(panelText(splash, "SSPanel6"), QStringLiteral("Quillmere v4.01"));
    splash.waitForFadeDone();
    // Ten steps of 50 units leave 60, which is below 61: the bands are gone.
    for (int band = 0; band < FrmAbout::BandCount; ++band) {
        QCOMPARE(splash.bandHeight(band), 60);
        QVERIFY(!splash.findChild<QWidget*>(QStringLiteral("Picture2_%1").arg(band))->isVisible());
    }
    QVERIFY(splash.findChild<QLabel*>(QStringLiteral("imgTVNLogo"))->isVisible());
    QCOMPARE(splash.closingTicks(), 0);
    splash.close();
    QVERIFY(!splash.isVisible());
    QCOMPARE(splash.closingTicks(), FrmAbout::ClosingTicks);
}

// Escape closes the box too, also from the OK button, which drops every other key.
void AboutTest::aboutBoxShowsOKHighlightedAndEnterCloses_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::newRow("Escape") << int(Qt::Key_Escape) << int(QDialog::Rejected);
}

void AboutTest::aboutBoxShowsOKHighlightedAndEnterCloses() {
    QFETCH(int, key);
    QFETCH(int, result);
    FrmAbout about(PublisherCode::Second, textsFor(PublisherCode::Second), false, nullptr, 1, 1);
    QCOMPARE(about.windowTitle(), QStringLiteral("About Quillmere"));
    QTimer::singleShot(0, &about, [&] {
        auto* ok = about.findChild<QPushButton*>(QStringLiteral("cmdOK"));
        auto* panel = about.findChild<MenuChoice*>(QStringLiteral("sspMenuChoice"));
        const bool highlighted = ok->isVisible() && ok->text() == QStringLiteral("OK") &&
                                 panel->palette().color(QPalette::Window) == QColor(0, 255, 255);
        if (!highlighted) {
            QTest::qFail("OK is not shown highlighted", __FILE__, __LINE__);
            about.close();
            return;
        }
        ok->setFocus();
        QTest::keyClick(ok, Qt::Key_X);
        if (!about.isVisible()) {
            QTest::qFail("a letter closed the about box", __FILE__, __LINE__);
            return;
        }
        QTest::keyClick(ok, Qt::Key(key));
        if (about.isVisible()) {
            QTest::qFail("the key left the about box open", __FILE__, __LINE__);
            about.done(-1);
        }
    });
    QCOMPARE(about.exec(), result);
}

void AboutTest::publisherTextsFollowTheCode_data() {
    QTest::addColumn<QString>("config");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("web");
    QTest::newRow("first") << "1\n"
                           << "Harborline Assessment Press"
                           << "Website address: www.harborline.example.org";
    QTest::newRow("no file") << "<none>"
                             << "Tamsworth Youth Screening Co."
                             << "Website address: www.tamsworth.example.com";
}

void AboutTest::publisherTextsFollowTheCode() {
    QFETCH(QString, config);
    QFETCH(QString, name);
    QFETCH(QString, web);
    TestFolder folder;
    if (config != QStringLiteral("<none>")) {
        TestFolder::write(folder.program() + "/PUBLISHER.CFG", config.toStdString());
    }
    const PublisherCode code = ReadPublisherCode(FileSystem(), folder.program());
    FrmAbout about(code, textsFor(code), false, nullptr, 1, 1);
    QCOMPARE(panelText(about, "SSPanel1"), name);
    QCOMPARE(panelText(about, "SSPanel4"), web);
    QVERIFY(panelText(about, "SSPanel2").contains(name.left(10)));
    QVERIFY(panelText(about, "SSPanel3").contains(QStringLiteral("(555)")));
}

QTEST_MAIN(AboutTest)
#include "AboutTest.moc"
