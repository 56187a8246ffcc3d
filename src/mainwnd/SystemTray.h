#pragma once

#include "strip/TrayRules.h"

#include <QIcon>
#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <memory>

class QSystemTrayIcon;

// The program's icon in the notification area. Its clicks arrive as tray notifications (icon id,
// mouse message) that the main window handles; the icon comes back by itself when the desktop's
// tray is restarted.
class CSystemTray : public QObject {
    Q_OBJECT
public:
    // Balloon icons.
    static constexpr int BalloonNone = 0;
    static constexpr int BalloonInfo = 1;
    static constexpr int BalloonWarning = 2;
    static constexpr int BalloonError = 3;

    CSystemTray();
    ~CSystemTray() override;

    // Creates and, unless hidden, shows the icon; a balloon text, when given, is shown once
    // right away. Non-zero on success.
    int CreateTrayIcon(const QString& tip, const QIcon& icon, std::uint32_t id, bool hidden,
                       const QString& balloonText, const QString& balloonTitle, int balloonIcon,
                       int balloonSeconds);
    // A balloon from the icon: text cut to 255 characters, title to 63. Non-zero on success.
    int ShowTrayBalloon(const QString& text, const QString& title, int icon, int seconds);
    // Removes the icon; non-zero when it is gone.
    int DeleteTrayIcon();
public slots:
    // The tray came back: the icon is added again unless it is meant to be hidden or an earlier
    // add failed. Only for a tray that came back, never for a change of the work area.
    void OnTrayRestarted();

public:
    // Whether the desktop has a tray to show the icon in now (an XEmbed tray or a status
    // notifier host); tests replace the probe.
    bool IsTrayPresent() const;
    std::function<bool()> PresenceProbe;

    bool TrayEnabled() const { return m_TrayEnabled != 0; }
    bool IconHidden() const { return m_IconHidden != 0; }
    bool IconRemoved() const { return m_IconRemoved != 0; }
    QString Tip() const { return m_Tip; }
    std::uint32_t Id() const { return m_Id; }
    QSystemTrayIcon* Icon() const { return m_Icon.get(); }

    // The last balloon asked for (text, title), for the window's tests.
    QString LastBalloonText() const { return m_LastBalloonText; }
    QString LastBalloonTitle() const { return m_LastBalloonTitle; }
    int BalloonCount() const { return m_BalloonCount; }

signals:
    // WM_TRAYNOTIFY: wParam the icon id, lParam the mouse message.
    void TrayNotify(std::uint32_t wParam, std::uint32_t lParam);

private:
    void ForwardActivation(int reason);

    std::unique_ptr<QSystemTrayIcon> m_Icon;
    QString m_Tip;
    std::uint32_t m_Id = 0;
    std::int32_t m_TrayEnabled = 0;
    std::int32_t m_IconHidden = 1;
    std::int32_t m_IconRemoved = 1;
    std::int32_t m_BalloonsSupported = 0;
    QString m_LastBalloonText;
    QString m_LastBalloonTitle;
    int m_BalloonCount = 0;
};
