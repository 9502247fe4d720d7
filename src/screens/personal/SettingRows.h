#pragma once

#include "SettingModel.h"

#include <QAbstractListModel>

#include <functional>

class QListView;

// A menu of SettingModel rows for a QListView painted by UserSetCell. The menu's rows are fixed:
// it is made once with them; only a row's value (settingSubName) changes. Names are translated
// when shown, and the list repaints on a language change.
class SettingRows : public QAbstractListModel {
    Q_OBJECT
public:
    enum Role { NameRole = Qt::UserRole + 1, ImageRole, TagRole, SubNameRole };

    explicit SettingRows(QList<SettingModel> rows, QObject *parent = nullptr);

    // Shows `rows` in `list`, drawn by UserSetCell, and hands `select` the row a click or Enter
    // on the current row picks. The list keeps the keyboard focus reachable and is named for
    // accessibility by `accessibleName`.
    static SettingRows *attach(QListView *list, QList<SettingModel> rows,
                               const QString &accessibleName,
                               std::function<void(const QModelIndex &)> select);

    const QList<SettingModel> &rows() const { return m_rows; }
    // The row of `index` when it is one of this menu's, else nothing.
    const SettingModel *rowAt(const QModelIndex &index) const;
    // Shows `value` at the end of the row tagged `tag`.
    void setSubName(int tag, const QString &value);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QList<SettingModel> m_rows;
    QListView *m_list = nullptr;
    std::function<void(const QModelIndex &)> m_select;
};
