#pragma once

#include <cstdint>
#include <QList>
#include <QString>

class CFindBar;
class CFortuneListModel;
class QColor;
class QLabel;
class QObject;
class QStatusBar;
class QToolBar;
class QTreeView;
class QWidget;

// The main window's client area below its menu bar: the toolbar, the header
// pane (logo picLogo, header bar lblHeader, header text lblHeading), the find
// bar fraFind (hidden until asked for), the fortune list lvwItems and the
// status bar stbMain with its three panels.
// The widgets belong to the client widget.
class CMainControls final {
public:
    // The header bar's text without an archive.
    static const QString ArchiveHeader;

    // filter watches the logo's clicks and the list's keys.
    CMainControls(QWidget* client, QToolBar* toolbar, QObject* filter);

    // Places the parts that show in the client's area: the toolbar at the
    // top, the header pane below it, the status bar at the bottom and the
    // list in between, below the find bar while that shows.
    void Layout(bool showToolbar, bool showHeader) const;
    void SetPanel(int panel, const QString& text) const;
    QString PanelText(int panel) const;
    // The archive's header, its CR LF line ends as the label's line breaks.
    void SetHeading(QString header) const;
    int32_t SelectedCount() const;
    // "No fortunes <what>", "1 fortune <what>" or "<n> fortunes <what>".
    static QString CountText(int32_t count, const char* what);
    static void SetBackground(QWidget* widget, const QColor& color);

    QWidget* const client;
    QToolBar* const tlbMain;
    QLabel* picLogo = nullptr;
    QLabel* lblHeader = nullptr;
    QLabel* lblHeading = nullptr;
    CFindBar* fraFind = nullptr;
    QTreeView* lvwItems = nullptr;
    CFortuneListModel* mRows = nullptr;
    QStatusBar* stbMain = nullptr;

private:
    void BuildHeader(QObject* filter);
    void BuildList(QObject* filter);
    void BuildStatusBar();

    QList<QLabel*> mPanels;
};
