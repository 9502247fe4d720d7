#include "SettingRows.h"

#include "UserSetCell.h"

#include <QKeyEvent>
#include <QListView>

SettingRows::SettingRows(QList<SettingModel> rows, QObject *parent)
    : QAbstractListModel(parent)
    , m_rows(std::move(rows)) {}

SettingRows *SettingRows::attach(QListView *list, QList<SettingModel> rows,
                                 const QString &accessibleName,
                                 std::function<void(const QModelIndex &)> select) {
    auto *model = new SettingRows(std::move(rows), list);
    model->m_list = list;
    model->m_select = std::move(select);
    list->setModel(model);
    list->setItemDelegate(new UserSetCell(list));
    list->setAccessibleName(accessibleName);
    list->setFocusPolicy(Qt::StrongFocus);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    list->setUniformItemSizes(true);
    // The keyboard starts on the first row, so Enter right after Tab opens something sensible.
    if (!model->m_rows.isEmpty())
        list->selectionModel()->setCurrentIndex(model->index(0), QItemSelectionModel::NoUpdate);
    connect(list, &QListView::clicked, model, [model](const QModelIndex &index) {
        if (model->m_select)
            model->m_select(index);
    });
    list->installEventFilter(model);
    return model;
}

const SettingModel *SettingRows::rowAt(const QModelIndex &index) const {
    if (!index.isValid() || index.model() != this || index.row() < 0 ||
        index.row() >= m_rows.size())
        return nullptr;
    return &m_rows[index.row()];
}

void SettingRows::setSubName(int tag, const QString &value) {
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].settingTag == tag && m_rows[i].settingSubName != value) {
            m_rows[i].settingSubName = value;
            emit dataChanged(index(i), index(i));
        }
    }
}

int SettingRows::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant SettingRows::data(const QModelIndex &index, int role) const {
    const SettingModel *row = rowAt(index);
    if (!row)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case NameRole:
        return row->displayName();
    case Qt::AccessibleTextRole:
        return row->settingSubName.isEmpty()
                   ? row->displayName()
                   //: A menu row read aloud: its name, then its current value.
                   : tr("%1，%2").arg(row->displayName(), row->settingSubName);
    case SubNameRole:
        return row->settingSubName;
    case ImageRole:
        return row->settingImage;
    case TagRole:
        return row->settingTag;
    default:
        return {};
    }
}

QHash<int, QByteArray> SettingRows::roleNames() const {
    return {{NameRole, "settingName"},
            {ImageRole, "settingImage"},
            {TagRole, "settingTag"},
            {SubNameRole, "settingSubName"}};
}

bool SettingRows::eventFilter(QObject *watched, QEvent *event) {
    // The names are translated in data(): the rows only need painting and reading again.
    if (watched == m_list && event->type() == QEvent::LanguageChange && !m_rows.isEmpty())
        emit dataChanged(index(0), index(int(m_rows.size()) - 1));
    // Enter picks the current row as a click does; activated() would also fire on the second
    // click of a double click and open the screen twice.
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (m_select)
                m_select(m_list->currentIndex());
            return true;
        }
    }
    return QAbstractListModel::eventFilter(watched, event);
}
