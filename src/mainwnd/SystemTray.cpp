#include "mainwnd/SystemTray.h"

#include <QSystemTrayIcon>

namespace {

TrayActivation ActivationOf(int reason) {
    switch (static_cast<QSystemTrayIcon::ActivationReason>(reason)) {
    case QSystemTrayIcon::Context:
        return TrayActivation::Context;
    case QSystemTrayIcon::DoubleClick:
        return TrayActivation::DoubleClick;
    case QSystemTrayIcon::Trigger:
        return TrayActivation::Trigger;
    case QSystemTrayIcon::MiddleClick:
        return TrayActivation::MiddleClick;
    case QSystemTrayIcon::Unknown:
        break;
    }
    return TrayActivation::Unknown;
}

QSystemTrayIcon::MessageIcon MessageIconOf(int icon) {
    switch (icon) {
    case CSystemTray::BalloonInfo:
        return QSystemTrayIcon::Information;
    case CSystemTray::BalloonWarning:
        return QSystemTrayIcon::Warning;
    case CSystemTray::BalloonError:
        return QSystemTrayIcon::Critical;
    default:
        return QSystemTrayIcon::NoIcon;
    }
}

} // namespace

CSystemTray::CSystemTray() = default;

CSystemTray::~CSystemTray() {
    DeleteTrayIcon();
}

int CSystemTray::CreateTrayIcon(const QString& tip, const QIcon& icon, std::uint32_t id, bool hidden,
                                const QString& balloonText, const QString& balloonTitle, int balloonIcon,
                                int balloonSeconds) {
    // Every desktop this runs on has the notion of a tray; the toolkit docks the icon into one
    // whenever it is present, so adding counts as done even before a tray appears.
    m_TrayEnabled = 1;
    m_BalloonsSupported = 1;
    m_Tip = tip.left(127);
    m_Id = id;
    m_Icon = std::make_unique<QSystemTrayIcon>(icon);
    m_Icon->setToolTip(m_Tip);
    connect(
        m_Icon.get(), &QSystemTrayIcon::activated, this,
        [this](QSystemTrayIcon::ActivationReason reason) { ForwardActivation(static_cast<int>(reason)); });

    // A restarted tray gets a visible icon back from the toolkit itself, which watches the
    // tray's selection. A change of the work area leaves the icon alone: adding it again would
    // undock and re-dock it on an XEmbed tray, moving it and closing a balloon that shows.

    m_IconHidden = hidden ? 1 : 0;
    if (!hidden) {
        m_Icon->show();
        m_IconHidden = 0;
        m_IconRemoved = 0;
        if (!balloonText.isEmpty())
            ShowTrayBalloon(balloonText, balloonTitle, balloonIcon, balloonSeconds);
    }
    return 1;
}

int CSystemTray::ShowTrayBalloon(const QString& text, const QString& title, int icon, int seconds) {
    if (!m_BalloonsSupported || !m_Icon)
        return 0;
    m_LastBalloonText = text.left(255);
    m_LastBalloonTitle = title.left(63);
    ++m_BalloonCount;
    m_Icon->showMessage(m_LastBalloonTitle, m_LastBalloonText, MessageIconOf(icon), seconds * 1000);
    return 1;
}

int CSystemTray::DeleteTrayIcon() {
    if (!m_TrayEnabled || m_IconRemoved)
        return 1;
    if (m_Icon)
        m_Icon->hide();
    m_IconHidden = 1;
    m_IconRemoved = 1;
    return 1;
}

bool CSystemTray::IsTrayPresent() const {
    return PresenceProbe ? PresenceProbe() : QSystemTrayIcon::isSystemTrayAvailable();
}

void CSystemTray::OnTrayRestarted() {
    if (!m_Icon || m_IconHidden)
        return;
    m_Icon->hide();
    m_Icon->show();
}

void CSystemTray::ForwardActivation(int reason) {
    for (std::uint32_t message : TrayMessagesFor(ActivationOf(reason)))
        emit TrayNotify(m_Id, message);
}
