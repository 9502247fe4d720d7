#pragma once

#include "LoadMoreFooter.h"
#include "PagedRows.h"
#include "RefreshHeader.h"
#include "records/ContentRecords.h"

#include <QCoreApplication>

// The rows of a report, in the parts ChartListCell paints. Single-page: a report comes in one
// answer.
class ChartRows : public PagedRows<ChartListModel> {
public:
    enum Role {
        NameRole = Qt::UserRole + 1, // nameLabel
        CountRole,                   // countLabel: the average as received
        ImageWidthRole,              // colorImageView's length in points
    };

    explicit ChartRows(QObject *parent = nullptr)
        : PagedRows<ChartListModel>({}, parent) {
        setSinglePage(true);
    }

    QHash<int, QByteArray> roleNames() const override {
        QHash<int, QByteArray> names = PagedRows<ChartListModel>::roleNames();
        names.insert(
            {{NameRole, "nameLabel"}, {CountRole, "countLabel"}, {ImageWidthRole, "imageWidth"}});
        return names;
    }

protected:
    QVariant rowData(const ChartListModel &row, int role) const override {
        switch (role) {
        case NameRole:
            return row.Name.value_or(QString());
        case Qt::AccessibleTextRole:
            //: A report row as a screen reader reads it: the name, then its average of flowers.
            return QCoreApplication::translate("ChartRows", "%1，平均%2朵小花")
                .arg(row.Name.value_or(QString()), row.AverageFlower.value_or(QString()));
        case CountRole:
            return row.AverageFlower.value_or(QString());
        case ImageWidthRole:
            return row.imageWidth;
        default:
            return {};
        }
    }
};
