#include "MyCollectionVC.h"

#include "BookCollectionCell.h"
#include "ClassDetailListVC.h"
#include "ListActions.h"
#include "NotificationCenter.h"
#include "StyleTokens.h"
#include "records/AccountRecords.h"
#include "ui_MyCollectionVC.h"

#include <QListView>

MyCollectionVC::MyCollectionVC(QWidget *parent)
    : BasicVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::MyCollectionVC>(this))
    , m_rows(new BookGridRows(this)) {}

MyCollectionVC::~MyCollectionVC() = default;

QListView *MyCollectionVC::gridView() const {
    return m_ui->collectionView;
}

void MyCollectionVC::viewDidLoad() {
    BasicVC::viewDidLoad();
    NotificationCenter::addObserver(this, NOTIFICATION_UPDATE_MYCOLLECT,
                                    [this] { updateCollectAction(); });

    QListView *grid = m_ui->collectionView;
    m_rows->showIn(grid);
    applyTexts();
    ListActions::openRowsOnce(grid, [this](const QModelIndex &index) { collectionView(index); });

    // The whole collection comes in one answer: the model asks for page 1 only.
    m_rows->setSinglePage(true);
    m_rows->setPageRequest([this](int, int) { getCollectionBookListAction(); });
    m_rows->attach(grid, this);
    m_rows->header()->beginRefreshing();
}

void MyCollectionVC::retranslate() {
    m_ui->retranslateUi(this);
    applyTexts();
}

void MyCollectionVC::applyTexts() {
    setTitle(tr("我的收藏"));
    m_ui->collectionView->setAccessibleName(tr("我收藏的书"));
}

void MyCollectionVC::viewWillAppear(bool animated) {
    BasicVC::viewWillAppear(animated);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
}

void MyCollectionVC::updateCollectAction() {
    // A load already on its way may predate the change it was told of.
    m_rows->reloadWithSpinner();
}

void MyCollectionVC::getCollectionBookListAction() {
    GetTeacherCollectionsReq request;
    request.uid = LoginRsp::shareRsp().uid;

    auto answer = m_rows->answerForPage<GetTeacherCollectionsRsp>(
        this, 1, [](const GetTeacherCollectionsRsp &rsp) {
            return BookGridItem::listFrom(rsp.collectlist);
        });
    answer.dismissingHud();
    answer.send(request);
}

void MyCollectionVC::collectionView(const QModelIndex &index) {
    ClassDetailListVC::openBook(this, m_rows, index);
}
