#pragma once

#include <QDialog>
#include <QString>
#include <functional>

class QLabel;
class QPushButton;

// Where the about box's links lead.
inline const QString MakerHomePage = QStringLiteral("https://pylarix.example.invalid/");
inline const QString MakerMail = QStringLiteral("mailto:kelvade@example.invalid");

// The about box of the tray menu: program icon, name in bold, version, the maker's home page and
// mail links and OK.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // Opens a link's target; the desktop's opener unless a test replaces it.
    std::function<void(const QString&)> OpenLink;

    QLabel* TitleLabel() const { return m_Title; }
    QLabel* VersionLabel() const { return m_Version; }
    QLabel* HomePageLink() const { return m_HomePage; }
    QLabel* MailLink() const { return m_Mail; }
    QLabel* MakerLabel() const { return m_Maker; }
    QPushButton* OkButton() const { return m_Ok; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLabel* m_Title = nullptr;
    QLabel* m_Version = nullptr;
    QLabel* m_HomePage = nullptr;
    QLabel* m_Mail = nullptr;
    QLabel* m_Maker = nullptr;
    QPushButton* m_Ok = nullptr;
};
