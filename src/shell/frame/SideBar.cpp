#include "SideBar.h"

#include "Assets.h"
#include "FrameStyle.h"
#include "ListActions.h"

#include <QFocusEvent>
#include <QPainter>
#include <QStyledItemDelegate>

SideBarRows::SideBarRows(QObject *parent)
    : QAbstractListModel(parent) {}

void SideBarRows::setSections(const QList<TabBarItem> &sections) {
    m_sections = sections;
    m_entries.resize(sections.size());
    rebuild();
}

void SideBarRows::setEntries(int section, const QString &group,
                             const QList<SideBarEntry> &entries) {
    if (section < 0)
        return;
    if (section >= m_entries.size())
        m_entries.resize(section + 1);
    auto &groups = m_entries[section];
    auto it = std::find_if(groups.begin(), groups.end(),
                           [&group](const auto &pair) { return pair.first == group; });
    if (it != groups.end())
        it->second = entries;
    else
        groups.append({group, entries});
    rebuild();
}

void SideBarRows::setSelectedSection(int section) {
    if (section == m_selected)
        return;
    const int before = rowOfSection(m_selected);
    m_selected = section;
    for (int row : {before, rowOfSection(section)}) {
        if (row >= 0)
            emit dataChanged(index(row), index(row), {SelectedRole, Qt::AccessibleDescriptionRole});
    }
}

void SideBarRows::rebuild() {
    beginResetModel();
    m_lines.clear();
    for (int section = 0; section < m_sections.size(); ++section) {
        const TabBarItem &item = m_sections.at(section);
        m_lines.append({section, {}, item.title, item.normalIcon, {}});
        if (section >= m_entries.size())
            continue;
        for (const auto &[group, entries] : m_entries.at(section)) {
            for (const SideBarEntry &entry : entries)
                m_lines.append({section, group, entry.title, {}, entry.open});
        }
    }
    endResetModel();
}

int SideBarRows::rowOfSection(int section) const {
    for (int row = 0; row < m_lines.size(); ++row) {
        if (m_lines.at(row).section == section && m_lines.at(row).group.isEmpty())
            return row;
    }
    return -1;
}

int SideBarRows::sectionOf(int row) const {
    return row >= 0 && row < m_lines.size() ? m_lines.at(row).section : -1;
}

bool SideBarRows::isEntry(int row) const {
    return row >= 0 && row < m_lines.size() && !m_lines.at(row).group.isEmpty();
}

void SideBarRows::openEntry(int row) const {
    if (isEntry(row) && m_lines.at(row).open)
        m_lines.at(row).open();
}

int SideBarRows::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_lines.size());
}

QVariant SideBarRows::data(const QModelIndex &index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Line &line = m_lines.at(index.row());
    const bool selected = line.group.isEmpty() && line.section == m_selected;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return line.title;
    case Qt::AccessibleDescriptionRole:
        return selected ? tr("当前栏目") : QVariant();
    case SectionRole:
        return line.section;
    case EntryRole:
        return !line.group.isEmpty();
    case SelectedRole:
        return selected;
    case IconNameRole:
        return line.group.isEmpty()
                   ? (selected ? m_sections.value(line.section).selectedIcon : line.icon)
                   : QString();
    default:
        return {};
    }
}

QHash<int, QByteArray> SideBarRows::roleNames() const {
    return {{Qt::DisplayRole, "title"},
            {SectionRole, "section"},
            {EntryRole, "entry"},
            {SelectedRole, "selected"}};
}

namespace {

// A section: its icon and title, the chosen one in the tab bar's selected colour on a pale
// band. An entry: its title, indented under the section. Collapsed: the icon alone.
class SideBarCell : public QStyledItemDelegate {
public:
    SideBarCell(SideBar *bar)
        : QStyledItemDelegate(bar)
        , m_bar(bar) {}

    QSize sizeHint(const QStyleOptionViewItem &, const QModelIndex &index) const override {
        const bool entry = index.data(SideBarRows::EntryRole).toBool();
        return {m_bar->preferredWidth(), entry ? SideBar::EntryHeight : SideBar::LineHeight};
    }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        painter->save();
        const QRect r = option.rect;
        const bool entry = index.data(SideBarRows::EntryRole).toBool();
        const bool selected = index.data(SideBarRows::SelectedRole).toBool();
        const bool current = option.state & QStyle::State_HasFocus;
        if (selected || current)
            painter->fillRect(r, QColor(FrameStyle::BackgroundColor));
        if (current && (option.state & QStyle::State_KeyboardFocusChange))
            painter->fillRect(QRect(r.left(), r.top(), 3, r.height()),
                              QColor(FrameStyle::TitleColor));
        const int iconSide = 24;
        const QString icon = index.data(SideBarRows::IconNameRole).toString();
        if (!entry && !icon.isEmpty()) {
            const int x =
                m_bar->isCollapsed() ? r.left() + (r.width() - iconSide) / 2 : r.left() + 16;
            painter->drawPixmap(QRect(x, r.top() + (r.height() - iconSide) / 2, iconSide, iconSide),
                                Assets::pixmap(icon, QSize(iconSide, iconSide)));
        }
        if (!m_bar->isCollapsed()) {
            QFont font = option.font;
            font.setPixelSize(entry ? 13 : 15);
            font.setBold(selected);
            painter->setFont(font);
            painter->setPen(QColor(selected ? FrameStyle::TitleColor : FrameStyle::SheetTextColor));
            const int left = entry ? 56 : 16 + iconSide + 12;
            const QRect text = r.adjusted(left, 0, -8, 0);
            painter->drawText(
                text, Qt::AlignVCenter | Qt::AlignLeft,
                painter->fontMetrics().elidedText(index.data(Qt::DisplayRole).toString(),
                                                  Qt::ElideRight, text.width()));
        }
        painter->restore();
    }

private:
    SideBar *m_bar;
};

} // namespace

SideBar::SideBar(QWidget *parent)
    : QListView(parent)
    , m_rows(new SideBarRows(this)) {
    setObjectName(QStringLiteral("sideBar"));
    //: The sidebar's list of the program's sections.
    setAccessibleName(tr("栏目"));
    setModel(m_rows);
    setItemDelegate(new SideBarCell(this));
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setUniformItemSizes(false);
    setSelectionMode(QAbstractItemView::NoSelection);
    setFocusPolicy(Qt::StrongFocus);
    QPalette pal = palette();
    pal.setColor(QPalette::Base, Qt::white);
    setPalette(pal);
    ListActions::openRowsOnce(this, [this](const QModelIndex &index) { choose(index.row()); });
    connect(m_rows, &QAbstractItemModel::modelReset, this, &SideBar::hideEntriesWhileCollapsed);
}

void SideBar::setCollapsed(bool collapsed) {
    if (collapsed == m_collapsed)
        return;
    m_collapsed = collapsed;
    hideEntriesWhileCollapsed();
    doItemsLayout();
}

void SideBar::hideEntriesWhileCollapsed() {
    for (int row = 0; row < m_rows->rowCount(); ++row)
        setRowHidden(row, m_collapsed && m_rows->isEntry(row));
}

void SideBar::choose(int row) {
    const int section = m_rows->sectionOf(row);
    if (section < 0)
        return;
    emit sectionChosen(section);
    m_rows->openEntry(row);
    // Once the screen chosen is there (a push slides in).
    QMetaObject::invokeMethod(this, &SideBar::contentWantsFocus, Qt::QueuedConnection);
}

void SideBar::changeEvent(QEvent *event) {
    QListView::changeEvent(event);
    if (event->type() == QEvent::LanguageChange) {
        setAccessibleName(tr("栏目"));
        // The rows' words come from the model when painted.
        viewport()->update();
    }
}

void SideBar::focusInEvent(QFocusEvent *event) {
    QListView::focusInEvent(event);
    if (event->reason() == Qt::ActiveWindowFocusReason)
        QMetaObject::invokeMethod(this, &SideBar::contentWantsFocus, Qt::QueuedConnection);
}
