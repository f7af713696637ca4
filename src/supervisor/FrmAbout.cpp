#include "supervisor/FrmAbout.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "supervisor/PublisherLogo.h"
#include "ui/MenuChoice.h"
#include "ui/QtText.h"
#include "ui/ScreenOps.h"

namespace qlm {

namespace {

QLabel* panel(QWidget* parent, const char* name, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    label->setMargin(4);
    return label;
}

}  // namespace

FrmAbout::FrmAbout(PublisherCode code, const PublisherTexts& texts, bool splash, QWidget* parent,
                   int revealTickMs, int closeTickMs)
    : Screen("frmAbout",
             splash ? QStringLiteral("Initializing...") : QStringLiteral("About Quillmere"), parent,
             false),
      m_splash(splash),
      m_closeTickMs(closeTickMs) {
    const int logoSize = BandCount * BandUnits * logicalDpiY() / 1440;
    m_logo = new QLabel(this);
    m_logo->setObjectName(QStringLiteral("imgTVNLogo"));
    m_logo->setFixedSize(logoSize, logoSize);
    m_logo->setPixmap(PublisherLogo(code, logoSize));
    m_logo->setVisible(false);
    auto* logoHolder = new QWidget(this);
    logoHolder->setFixedSize(logoSize, logoSize);
    m_logo->setParent(logoHolder);
    for (int i = 0; i < BandCount; ++i) {
        auto* band = new QWidget(logoHolder);
        band->setObjectName(QStringLiteral("Picture2_%1").arg(i));
        band->setAutoFillBackground(true);
        m_bands[static_cast<std::size_t>(i)] = band;
        m_bandUnits[static_cast<std::size_t>(i)] = BandUnits;
    }
    placeBands();

    auto* product = panel(this, "SSPanel6", QStringLiteral("Quillmere v4.01"));
    QFont big = product->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    product->setFont(big);

    auto* lines = new QVBoxLayout;
    lines->addWidget(product);
    lines->addWidget(panel(this, "SSPanel1", FromLatin1(texts.Name)));
    lines->addWidget(panel(this, "SSPanel4", "Website address: " + FromLatin1(texts.WebAddress)));
    lines->addWidget(panel(this, "SSPanel5", "E-mail address: " + FromLatin1(texts.Email)));
    lines->addWidget(panel(this, "SSPanel2", FromLatin1(texts.AboutNotice)));
    lines->addWidget(panel(this, "SSPanel3", FromLatin1(texts.Phone)));
    lines->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(logoHolder, 0, Qt::AlignTop);
    top->addLayout(lines, 1);

    m_ok = new MenuChoice(QStringLiteral("sspMenuChoice"), QStringLiteral("cmdOK"),
                          QStringLiteral("OK"), this);
    m_ok->setFixedWidth(140);
    connect(m_ok->button(), &QPushButton::clicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_ok, 0, Qt::AlignHCenter);
    setFixedWidth(logoSize + 380);

    if (m_splash) {
        m_ok->setVisible(false);
    }
    m_ok->setHighlighted(true);

    m_timer = new QTimer(this);
    m_timer->setInterval(revealTickMs);
    connect(m_timer, &QTimer::timeout, this, &FrmAbout::tick);
    m_timer->start();
    adjustSize();
}

void FrmAbout::placeBands() {
    const int top = BandUnits * logicalDpiY() / 1440;
    const int width = m_logo->width();
    for (int i = 0; i < BandCount; ++i) {
        m_bands[static_cast<std::size_t>(i)]->setGeometry(
            0, i * top, width, m_bandUnits[static_cast<std::size_t>(i)] * logicalDpiY() / 1440);
    }
}

void FrmAbout::tick() {
    if (m_closing) {
        ++m_closingTicks;
        m_fadeDone = true;
        return;
    }
    m_logo->setVisible(true);
    for (int& units : m_bandUnits) {
        units -= BandStepUnits;
    }
    placeBands();
    if (m_bandUnits[0] < 61) {
        for (QWidget* band : m_bands) {
            band->setVisible(false);
        }
        m_timer->stop();
        m_fadeDone = true;
    }
}

void FrmAbout::waitForFadeDone() {
    while (!m_fadeDone) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
}

void FrmAbout::closeEvent(QCloseEvent* event) {
    if (!m_splash) {
        QDialog::closeEvent(event);
        return;
    }
    if (m_closing) {
        // Already counting down its last seconds.
        event->ignore();
        return;
    }
    waitForFadeDone();
    m_closing = true;
    m_timer->setInterval(m_closeTickMs);
    for (int i = 0; i < ClosingTicks; ++i) {
        m_timer->start();
        m_fadeDone = false;
        waitForFadeDone();
        QCoreApplication::processEvents();
    }
    m_timer->stop();
    QDialog::done(QDialog::Accepted);
    event->accept();
}

void FrmAbout::reject() {
    if (m_splash) {
        close();
    } else {
        QDialog::reject();
    }
}

}  // namespace qlm
