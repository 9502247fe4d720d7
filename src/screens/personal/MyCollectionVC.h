#pragma once

#include "BasicVC.h"
#include "BookGridRows.h"

#include <memory>

class QListView;
namespace Ui {
class MyCollectionVC;
}

// The books the signed-in teacher collected, three to a row. The whole collection comes in one
// answer; the book detail's collect and un-collect broadcast makes the grid reload. A click or
// Enter on a book opens its detail.
class MyCollectionVC : public BasicVC {
    Q_OBJECT
public:
    explicit MyCollectionVC(QWidget *parent = nullptr);
    ~MyCollectionVC() override;

    // The books shown, in the order of the last successful answer.
    const QList<BookGridItem> &collectionArray() const { return m_rows->rows(); }
    BookGridRows *rows() const { return m_rows; }
    QListView *gridView() const;

    // The load the refresh header runs; call it through the header so its spinner follows.
    void getCollectionBookListAction();
    // Opens the book at `index` in a new detail screen; nothing for a row that is not there.
    void collectionView(const QModelIndex &index);

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void retranslate() override;

private:
    void applyTexts();
    void updateCollectAction();

    std::unique_ptr<Ui::MyCollectionVC> m_ui;
    BookGridRows *m_rows;
};
