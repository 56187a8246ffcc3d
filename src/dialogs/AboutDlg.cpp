#include "dialogs/AboutDlg.h"

#include "strip/ProgramArt.h"

#include <QDesktopServices>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

namespace {

QLabel* LinkLabel(const QString& prefix, const QString& target, const QString& shown, QWidget* parent) {
    auto* label = new QLabel(
        prefix + QStringLiteral("<a href=\"%1\">%2</a>").arg(target, shown.toHtmlEscaped()), parent);
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    // The dialog opens the link itself, so that the opener can be the desktop's.
    label->setOpenExternalLinks(false);
    return label;
}

} // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    OpenLink = [](const QString& target) { QDesktopServices::openUrl(QUrl(target)); };

    setWindowTitle(QStringLiteral("About"));
    setWindowIcon(ArtIcon(ArtPicture::Program));

    auto* icon = new QLabel(this);
    icon->setPixmap(ArtIcon(ArtPicture::Program).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    m_Title = new QLabel(QStringLiteral("Pylarix"), this);
    QFont bold = m_Title->font();
    bold.setWeight(QFont::Bold);
    m_Title->setFont(bold);
    m_Version = new QLabel(QStringLiteral("Version 1.3.26.0"), this);
    m_HomePage = LinkLabel(QStringLiteral("Home Page: "), MakerHomePage,
                           QStringLiteral("pylarix.example.invalid"), this);
    m_Mail = LinkLabel(QStringLiteral("Mail: "), MakerMail, QStringLiteral("kelvade@example.invalid"), this);
    m_Maker = new QLabel(QStringLiteral("Kelvade"), this);
    for (QLabel* link : {m_HomePage, m_Mail}) {
        connect(link, &QLabel::linkActivated, this, [this](const QString& target) {
            if (OpenLink)
                OpenLink(target);
        });
    }

    m_Ok = new QPushButton(QStringLiteral("OK"), this);
    m_Ok->setIcon(ArtIcon(ArtPicture::OkButton));
    m_Ok->setIconSize(QSize(16, 16));
    m_Ok->setDefault(true);
    connect(m_Ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* texts = new QVBoxLayout;
    for (QLabel* label : {m_Title, m_Version, m_HomePage, m_Mail, m_Maker})
        texts->addWidget(label);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addLayout(texts, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_Ok);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
}

void CAboutDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Centred on the desktop, a window of its own (not topmost) with its own taskbar button.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->geometry().center());
        move(frame.topLeft());
    }
}
