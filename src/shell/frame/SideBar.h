#pragma once

#include "TabBar.h"

#include <QAbstractListModel>
#include <QListView>

#include <functional>

// A line under a section of the sidebar that a feature put there (a class, the reflections with
// the number waiting). Choosing it selects its section, then calls `open`.
struct SideBarEntry {
    QString title;
    std::function<void()> open;
};

// The sidebar's lines: each section (its tab's icon and title) followed by the entries its
// features gave it, group by group in the order the groups first came.
class SideBarRows : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { SectionRole = Qt::UserRole + 1, EntryRole, SelectedRole, IconNameRole };

    explicit SideBarRows(QObject *parent = nullptr);

    void setSections(const QList<TabBarItem> &sections);
    // Replaces the entries of `group` under `section`; an empty list removes them.
    void setEntries(int section, const QString &group, const QList<SideBarEntry> &entries);
    void setSelectedSection(int section);
    int selectedSection() const { return m_selected; }
    // The row of a section's own line, or -1.
    int rowOfSection(int section) const;
    int sectionOf(int row) const;
    bool isEntry(int row) const;
    // Calls the entry's `open` (nothing for a section's line or a row out of range).
    void openEntry(int row) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    struct Line {
        int section = -1;
        QString group; // empty for a section's own line
        QString title;
        QString icon;
        std::function<void()> open;
    };
    void rebuild();

    QList<TabBarItem> m_sections;
    // Per section, the groups in order with their entries.
    QList<QList<std::pair<QString, QList<SideBarEntry>>>> m_entries;
    QList<Line> m_lines;
    int m_selected = -1;
};

// The desktop form's sections, left of the content, in place of the tab bar. Collapsed it shows
// the sections' icons alone. Click, Enter and Return choose a line; Up and Down move among them.
class SideBar : public QListView {
    Q_OBJECT
public:
    static constexpr int ExpandedWidth = 200;
    static constexpr int CollapsedWidth = 56;
    static constexpr int LineHeight = 44;
    static constexpr int EntryHeight = 34;

    explicit SideBar(QWidget *parent = nullptr);

    SideBarRows *rows() const { return m_rows; }
    void setCollapsed(bool collapsed);
    bool isCollapsed() const { return m_collapsed; }
    int preferredWidth() const { return m_collapsed ? CollapsedWidth : ExpandedWidth; }

signals:
    void sectionChosen(int section);
    // The keyboard belongs in the content: after a choice, and when the window came to the front
    // with nothing else to focus.
    void contentWantsFocus();

protected:
    void changeEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;

private:
    void choose(int row);
    void hideEntriesWhileCollapsed();

    SideBarRows *m_rows;
    bool m_collapsed = false;
};
