#include "mainwnd/StavoryDlg.h"

#include "config/ConfigFile.h"
#include "mainwnd/StripPainter.h"
#include "mainwnd/SystemTray.h"
#include "platform/WindowSystem.h"
#include "strip/StackingRules.h"
#include "strip/WindowRules.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QWindow>

// The strip as a window: placing, the grip, dragging with snapping, stacking, the taskbar button
// and the remapping of a withdrawn window.

namespace {

const QString HideBalloonText =
    QStringLiteral("Program still working now in background\nmode. Click on icon to "
                   "show Pylarix.\n\nClick Exit button to exit application.");
const QString HideBalloonTitle = QStringLiteral("Pylarix Notify");
// How long and how often a strip that left the screen while showing is checked for withdrawal.
constexpr int RemapCheckMilliseconds = 200;
constexpr int RemapChecks = 10;

StripRect ToStripRect(const QRect& r) {
    return {r.x(), r.y(), ExclusiveRight(r), ExclusiveBottom(r)};
}

} // namespace

void CStavoryDlg::FitWindowToStrip() {
    resize(StripSize(StripGeometry::From(GlobalSettings, Monitors.NumBox)));
    repaint();
}

QRect CStavoryDlg::WorkArea() const {
    return WindowSystem->WorkArea();
}

void CStavoryDlg::MoveWindowTo(QPoint topLeft) {
    const QPoint snapped = SnapPosition(ToStripRect(WorkArea()), topLeft, size(), GlobalSettings.WinPos != 0,
                                        GlobalSettings.XBox, GlobalSettings.YBox);
    move(snapped);
}

void CStavoryDlg::PlaceInWorkArea() {
    const QPoint placed = ::PlaceInWorkArea(ToStripRect(WorkArea()), pos(), GlobalSettings.WinPos != 0,
                                            GlobalSettings.XBox, GlobalSettings.YBox);
    MoveWindowTo(placed);
    WritePosition(*ConfigFile, placed.x(), placed.y());
    GlobalSettings.PosX = placed.x();
    GlobalSettings.PosY = placed.y();
    repaint();
}

void CStavoryDlg::OnWorkAreaChanged() {
    if (!TornDown && Initialised)
        PlaceInWorkArea();
}

bool CStavoryDlg::OnGripClick(QPoint windowPoint) {
    const bool horizontal = GlobalSettings.WinPos != 0;
    switch (GripActionAt(horizontal, windowPoint.x(), windowPoint.y())) {
    case GripAction::Hide:
        if (HideZoneEffect(TrayPresent) == StripAway::Minimise) {
            showMinimized();
            return true;
        }
        hide();
        if (ShowsHideBalloon(BalloonPending, TrayPresent)) {
            SystemTray->ShowTrayBalloon(HideBalloonText, HideBalloonTitle, CSystemTray::BalloonInfo, 10);
            BalloonPending = 0;
        }
        return true;
    case GripAction::Minimise:
        if (MinimiseZoneEffect(GlobalSettings.HideTaskBarButton, TrayPresent) == StripAway::Hide)
            hide();
        else
            showMinimized();
        return true;
    case GripAction::SwitchLayout:
        GlobalSettings.WinPos = SwitchedWinPos(GlobalSettings.WinPos);
        FitWindowToStrip();
        WriteWinPos(*ConfigFile, GlobalSettings.WinPos);
        return true;
    case GripAction::Drag:
        Dragging = true;
        DragStartGlobal = QCursor::pos();
        DragStartWindow = pos();
        return true;
    case GripAction::None:
        break;
    }
    return false;
}

void CStavoryDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const StripSelection selection{SelectedBox, ShowSelection, InsertionMark};
    Painter->Paint(painter, rect(), palette().color(QPalette::Window), Monitors, GlobalSettings, selection);
}

void CStavoryDlg::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        if (OnGripClick(event->position().toPoint()) && Dragging)
            DragStartGlobal = event->globalPosition().toPoint();
    }
    QWidget::mousePressEvent(event);
}

void CStavoryDlg::mouseMoveEvent(QMouseEvent* event) {
    if (Dragging && (event->buttons() & Qt::LeftButton))
        MoveWindowTo(DragStartWindow + (event->globalPosition().toPoint() - DragStartGlobal));
    QWidget::mouseMoveEvent(event);
}

void CStavoryDlg::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Dragging = false;
    QWidget::mouseReleaseEvent(event);
}

void CStavoryDlg::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    if (TornDown)
        return;
    const QPoint p = event->pos();
    // Moves made by others (the window manager's placement, its own move keys) pass through
    // the snapping too: a position off the rules is corrected before it is saved. A window
    // manager that refuses the corrected place is not fought: each place is corrected once.
    if (isVisible() && !Dragging && p != LastCorrectedFrom) {
        const QPoint snapped = SnapPosition(ToStripRect(WorkArea()), p, size(), GlobalSettings.WinPos != 0,
                                            GlobalSettings.XBox, GlobalSettings.YBox);
        if (snapped != p) {
            LastCorrectedFrom = p;
            move(snapped);
            return;
        }
    }
    if (SavesPosition(p.x(), p.y()))
        WritePosition(*ConfigFile, p.x(), p.y());
    // Enforcement: after every change of place the strip is put back into its layer, which
    // also brings a reloaded WinBeh into force.
    if (isVisible())
        ApplyStacking(false);
}

void CStavoryDlg::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // The window manager forgets the states of a hidden window: they are set again before it
    // maps the window, and once more when it shows it (see eventFilter).
    ApplyWindowStates();
}

bool CStavoryDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched != windowHandle() || event->type() != QEvent::Expose || TornDown)
        return QWidget::eventFilter(watched, event);
    const bool exposed = windowHandle()->isExposed();
    if (exposed && !WindowExposed && isVisible()) {
        // Shown by the window manager: it manages the window now and keeps what is asked of it
        // (a busy manager may have cleared the states set before the window was mapped).
        ApplyWindowStates();
    } else if (!exposed && WindowExposed && isVisible() && !isMinimized()) {
        // Taken off the screen while it should be showing: a manager that handled a quick hide
        // and show late may have withdrawn it for good. Its own hiding (minimising, another
        // desktop) leaves the window managed, which the remap checks for.
        CheckWithdrawn(RemapChecks);
    }
    WindowExposed = exposed;
    return QWidget::eventFilter(watched, event);
}

void CStavoryDlg::CheckWithdrawn(int checksLeft) {
    QTimer::singleShot(RemapCheckMilliseconds, this, [this, checksLeft] {
        if (TornDown || !isVisible() || isMinimized() || windowHandle()->isExposed())
            return;
        if (!WindowSystem->RemapIfWithdrawn(windowHandle()) && checksLeft > 1)
            CheckWithdrawn(checksLeft - 1);
    });
}

void CStavoryDlg::ApplyWindowStates() {
    if (SkipsTaskbar(TaskbarButtonHidden, TrayPresent))
        WindowSystem->SetSkipTaskbar(windowHandle(), true);
    ApplyStacking(false);
}

void CStavoryDlg::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) {
        // Enforcement: the strip keeps its layer whenever its place in the stack changes, and
        // the owned dialogs that are open stay above it.
        ApplyStacking(false);
        for (OwnedDialog which : {OwnedDialog::BoxProperties, OwnedDialog::Properties, OwnedDialog::About}) {
            QWidget* dialog = OwnedDialogs[static_cast<std::size_t>(which)];
            if (dialog && dialog->isVisible() && !dialog->isActiveWindow()) {
                dialog->raise();
                dialog->activateWindow();
            }
        }
    }
}

void CStavoryDlg::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape never close the strip.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void CStavoryDlg::closeEvent(QCloseEvent* event) {
    // The window manager's close keeps the program running: Exit is the only way out.
    event->ignore();
}

void CStavoryDlg::contextMenuEvent(QContextMenuEvent* event) {
    const QPoint p = event->pos();
    if (TornDown || GripActionAt(GlobalSettings.WinPos != 0, p.x(), p.y()) == GripAction::None ||
        !GripMenuHoldsTrayCommands(TrayPresent))
        return QWidget::contextMenuEvent(event);
    event->accept();
    // The tray's right click stands in: with a dialog open that dialog comes up instead.
    if (DecideTrayMouse(TrayMouse::RButtonUp, VisibleDialogs(), DialogOpen).Action != TrayMouseAction::Menu) {
        OnTrayNotify(TrayIconId, TrayMouse::RButtonUp);
        return;
    }
    QMenu* menu = BuildGripMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void CStavoryDlg::ApplyStacking(bool raiseFirst) {
    const std::optional<StackingLevel> level = StackingLevelFor(GlobalSettings.WinBeh);
    if (!level)
        return;
    if (raiseFirst)
        raise();
    if (QWindow* window = windowHandle())
        WindowSystem->SetStacking(window, *level);
}

void CStavoryDlg::SetTaskbarButtonHidden(bool hidden) {
    // Shown again only when it was showing: at the first load the strip is not sized yet and
    // appears a moment later, already placed.
    const bool wasVisible = isVisible();
    hide();
    TaskbarButtonHidden = hidden;
    WindowSystem->SetSkipTaskbar(windowHandle(), SkipsTaskbar(TaskbarButtonHidden, TrayPresent));
    if (wasVisible)
        show();
}
