#include "UserViewController.h"

#include "ActionSheet.h"
#include "AnswerHandling.h"
#include "ImageLoader.h"
#include "MyCollectionVC.h"
#include "NavigationController.h"
#include "SettingRows.h"
#include "SettingVC.h"
#include "StyleTokens.h"
#include "TabBarController.h"
#include "UserDetailVC.h"
#include "records/AccountRecords.h"
#include "ui_UserViewController.h"

#include <QLoggingCategory>
#include <QPointer>
#include <QPushButton>

Q_LOGGING_CATEGORY(lcPersonal, "teacher.personal")

UserViewController::UserViewController(QWidget *parent)
    : BasicVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::UserViewController>(this)) {
    // The photo is part of the button: the whole round area takes the click.
    m_ui->headImageView->setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(m_ui->headImageButton, &QPushButton::clicked, this, [this] { choosePicAction(); });
}

UserViewController::~UserViewController() = default;

NavigationController *UserViewController::navigationControllerContainSelf() {
    auto *stack = new NavigationController(new UserViewController);
    stack->setNavigationBarHidden(true, false);
    return stack;
}

const QList<SettingModel> &UserViewController::userArray() const {
    static const QList<SettingModel> none;
    return m_rows ? m_rows->rows() : none;
}

QListView *UserViewController::userTableView() const {
    return m_ui->userTableView;
}

QPushButton *UserViewController::headImageButton() const {
    return m_ui->headImageButton;
}

QLabel *UserViewController::headImageView() const {
    return m_ui->headImageView;
}

QLabel *UserViewController::userNameLabel() const {
    return m_ui->userNameLabel;
}

QLabel *UserViewController::userAreaLabel() const {
    return m_ui->userAreaLabel;
}

QLabel *UserViewController::userSchoolLabel() const {
    return m_ui->userSchoolLabel;
}

void UserViewController::setPhotoSource(CameraCheck hasCamera, PhotoPick pick) {
    if (hasCamera)
        m_hasCamera = std::move(hasCamera);
    if (pick)
        m_pick = std::move(pick);
}

void UserViewController::viewDidLoad() {
    BasicVC::viewDidLoad();
    m_rows = SettingRows::attach(
        m_ui->userTableView, SettingModel::arrayForPersonalCenter(), tr("个人中心菜单"),
        [this](const QModelIndex &index) { tableViewDidSelectRowAtIndexPath(index); });
    applyTexts();
    layOutTheHeadView();
}

void UserViewController::retranslate() {
    m_ui->retranslateUi(this);
    applyTexts();
}

void UserViewController::applyTexts() {
    //: The personal centre's title: the teacher's own page ("Me").
    setTitle(tr("我"));
    m_ui->userTableView->setAccessibleName(tr("个人中心菜单"));
}

void UserViewController::viewWillAppear(bool animated) {
    BasicVC::viewWillAppear(animated);
    if (NavigationController *stack = navigationController())
        stack->setNavigationBarHidden(true, animated);
}

void UserViewController::layOutTheHeadView() {
    const std::optional<UserInfo> &user = LoginRsp::shareRsp().user;
    const UserInfo info = user.value_or(UserInfo());
    m_ui->userNameLabel->setText(info.RealName.value_or(QString()));
    m_ui->userSchoolLabel->setText(info.SchoolName.value_or(QString()));
    m_ui->userAreaLabel->setText(user ? QStringLiteral("%1/%2/%3")
                                            .arg(info.ProvinceName.value_or(QString()),
                                                 info.CityName.value_or(QString()),
                                                 info.AreaName.value_or(QString()))
                                      : QString());
    setImageFromUrl(m_ui->headImageView, info.Photo.value_or(QString()));
}

void UserViewController::tableViewDidSelectRowAtIndexPath(const QModelIndex &index) {
    const SettingModel *row = m_rows ? m_rows->rowAt(index) : nullptr;
    m_ui->userTableView->clearSelection();
    if (!row)
        return;
    switch (row->settingTag) {
    case UserDetailTag:
        pushToViewController(new UserDetailVC);
        break;
    case MyCollectionTag:
        pushToViewController(new MyCollectionVC);
        break;
    case SettingTag:
        pushToViewController(new SettingVC);
        break;
    default:
        break;
    }
}

void UserViewController::pushToViewController(ViewController *screen) {
    NavigationController *stack = navigationController();
    if (!stack) {
        delete screen;
        return;
    }
    screen->setHidesBottomBarWhenPushed(true);
    stack->pushViewController(screen, true);
    stack->setNavigationBarHidden(false, false);
}

void UserViewController::choosePicAction() {
    QPointer<UserViewController> self = this;
    ActionSheet *sheet = ActionSheet::show(
        QString(), tr("取消"), {tr("现在拍摄"), tr("从相册选取")},
        [self](int index) {
            if (self)
                self->actionSheetClickedButtonAtIndex(index);
        },
        TakePhotoButton);
    // Named for the keyboard, assistive tools and scripted drivers.
    const char *names[] = {"takePhotoButton", "pickPhotoButton", "cancelPhotoButton"};
    for (int i = 0; i < sheet->numberOfButtons() && i < 3; ++i) {
        if (QPushButton *button = sheet->button(i)) {
            button->setObjectName(QLatin1String(names[i]));
            button->setAccessibleName(sheet->buttonTitleAtIndex(i));
        }
    }
    if (QPushButton *first = sheet->button(TakePhotoButton))
        first->setFocus();
}

void UserViewController::actionSheetClickedButtonAtIndex(int buttonIndex) {
    PhotoPicker::Source source;
    switch (buttonIndex) {
    case TakePhotoButton:
        source = m_hasCamera() ? PhotoPicker::Source::Camera : PhotoPicker::Source::File;
        break;
    case PickFileButton:
        source = PhotoPicker::Source::File;
        break;
    default:
        return;
    }
    // The picker goes over the tab bar, which covers the whole window.
    ViewController *host = tabBarController();
    if (!host)
        host = this;
    QPointer<UserViewController> self = this;
    m_pick(host, source, [self](const QByteArray &jpeg) {
        if (self)
            self->updateTeacherPhotoActionWithImageData(jpeg);
    });
}

void UserViewController::updateTeacherPhotoActionWithImageData(const QByteArray &jpeg) {
    if (jpeg.isEmpty()) {
        qCWarning(lcPersonal) << "no picture data to upload; the photo stays";
        return;
    }
    PhotoUpdateReq request;
    request.uid = LoginRsp::shareRsp().uid;
    // Standard alphabet with padding; Qt never breaks the lines.
    request.imagedata = QString::fromLatin1(jpeg.toBase64());
    const auto answer =
        AnswerHandler<PhotoUpdateRsp>(this).onSuccess([this](const PhotoUpdateRsp &rsp) {
            // The current login keeps the photo it signed in with; only this view changes.
            const QString url = rsp.photo.value_or(QString()).trimmed();
            if (url.isEmpty()) {
                qCWarning(lcPersonal) << "the photo was accepted without a URL; the old one stays";
                return;
            }
            setImageFromUrl(m_ui->headImageView, url);
        });
    answer.sendShowingHud(request);
}
