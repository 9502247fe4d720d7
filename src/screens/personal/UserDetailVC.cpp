#include "UserDetailVC.h"

#include "AlertView.h"
#include "AnswerHandling.h"
#include "FrameStyle.h"
#include "KeyboardAvoidance.h"
#include "NotificationCenter.h"
#include "ProgressHud.h"
#include "StyleTokens.h"
#include "TapGestureRecognizer.h"
#include "Toast.h"
#include "UserClassCell.h"
#include "UserClassRows.h"
#include "ui_UserDetailVC.h"

#include <QApplication>
#include <QKeyEvent>
#include <QShortcut>
#include <QVariantAnimation>

namespace {
constexpr int PickerHeight = 216;
} // namespace

QString UserDetailVC::notModifiableSuffix() {
    //: Follows the teacher's name and school in edit mode.
    return tr("(不可修改)");
}

UserDetailVC::UserDetailVC(QWidget *parent)
    : BasicVC(parent)
    , m_ui(StyleTokens::makeForm<Ui::UserDetailVC>(this))
    , m_classRows(new UserClassRows(this))
    , m_pickRows(new UserClassRows(this)) {
    for (QWidget *panel :
         {m_ui->userHeadView, m_ui->userFootView, m_ui->userGradeView, m_ui->pickerBar})
        panel->setAttribute(Qt::WA_StyledBackground);

    QListView *list = m_ui->userClassTableView;
    m_classRows->setSelectable(false);
    list->setModel(m_classRows);
    m_classCell = new UserClassCell(list);
    list->setItemDelegate(m_classCell);
    list->installEventFilter(this);
    connect(list, &QListView::clicked, this,
            [this](const QModelIndex &index) { tableViewDidSelectRowAtIndexPath(index.row()); });
    connect(m_classCell, &UserClassCell::minusBtnClicked, this,
            [this](int row) { deleteClassAction(row); });

    m_ui->userClassPickView->setModel(m_pickRows);
    m_ui->userClassPickView->installEventFilter(this);
    connect(m_ui->addClassButton, &QPushButton::clicked, this, [this] { addClassClickAction(); });
    connect(m_ui->sureButton, &QPushButton::clicked, this, [this] { sureBtnClickAction(); });

    setTabOrder(list, m_ui->addClassButton);
    setTabOrder(m_ui->addClassButton, m_ui->userClassPickView);
    setTabOrder(m_ui->userClassPickView, m_ui->sureButton);

    auto *refresh = new QShortcut(QKeySequence(Qt::Key_F5), this);
    m_refreshShortcut = refresh;
    refresh->setContext(Qt::WidgetWithChildrenShortcut);
    connect(refresh, &QShortcut::activated, this, [this] {
        getSelectClassForTeacherAction();
        getTeacherInfoAction();
    });
}

UserDetailVC::~UserDetailVC() {
    qApp->removeEventFilter(this);
}

const QList<SelectClassModel> &UserDetailVC::teacherClasses() const {
    return m_classRows->classes();
}

const QList<SelectClassModel> &UserDetailVC::classSelectArray() const {
    return m_pickRows->classes();
}

QLabel *UserDetailVC::nameTitleLabel() const {
    return m_ui->nameTitleLabel;
}
QLabel *UserDetailVC::nameContentLabel() const {
    return m_ui->nameContentLabel;
}
QLabel *UserDetailVC::schoolTitleLabel() const {
    return m_ui->schoolTitleLabel;
}
QLabel *UserDetailVC::schoolContentLabel() const {
    return m_ui->schoolContentLabel;
}
QListView *UserDetailVC::userClassTableView() const {
    return m_ui->userClassTableView;
}
QWidget *UserDetailVC::userFootView() const {
    return m_ui->userFootView;
}
QPushButton *UserDetailVC::addClassButton() const {
    return m_ui->addClassButton;
}
QWidget *UserDetailVC::userGradeView() const {
    return m_ui->userGradeView;
}
QListView *UserDetailVC::userClassPickView() const {
    return m_ui->userClassPickView;
}
QPushButton *UserDetailVC::sureButton() const {
    return m_ui->sureButton;
}

void UserDetailVC::viewDidLoad() {
    BasicVC::viewDidLoad();
    QPushButton *edit = setNavigationRightButtonWithTitle(tr("编辑"));
    edit->setObjectName(QStringLiteral("editButton"));
    applyTexts();
    fitClassList();
    getSelectClassForTeacherAction();
    getTeacherInfoAction();
}

void UserDetailVC::retranslate() {
    m_ui->retranslateUi(this);
    applyTexts();
}

void UserDetailVC::applyTexts() {
    setTitle(tr("个人资料"));
    m_refreshShortcut->setWhatsThis(tr("刷新"));
    showEditButtonText();
    showTeacherTexts();
}

void UserDetailVC::showEditButtonText() {
    if (auto *button = qobject_cast<QPushButton *>(rightBarButton())) {
        // As wide as the longer of its two words, so neither is cut in any language.
        fitBarButton(button, {tr("完成"), tr("编辑")});
        button->setText(m_isEdit ? tr("完成") : tr("编辑"));
        button->setAccessibleName(button->text());
    }
}

void UserDetailVC::viewWillAppear(bool animated) {
    BasicVC::viewWillAppear(animated);
    KeyboardAvoidance::setEnabled(true);
}

void UserDetailVC::viewWillDisappear(bool animated) {
    BasicVC::viewWillDisappear(animated);
    KeyboardAvoidance::setEnabled(false);
    hideClassPicker();
}

void UserDetailVC::resizeEvent(QResizeEvent *event) {
    BasicVC::resizeEvent(event);
    placePicker();
}

void UserDetailVC::getTeacherInfoAction() {
    GetTeacherInfoReq request;
    request.uid = LoginRsp::shareRsp().uid;
    const auto answer = AnswerHandler<GetTeacherInfoRsp>(this).keptFirst().onSuccess(
        [this](const GetTeacherInfoRsp &rsp) {
            m_teacherUser = rsp.user;
            // The row an open picker would exchange may now hold another class.
            hideClassPicker();
            m_classRows->setClasses(rsp.classList.value_or(RecordArray<SelectClassModel>()));
            showTeacherTexts();
            fitClassList();
        });
    answer.sendShowingHud(request);
}

void UserDetailVC::getSelectClassForTeacherAction() {
    SelectClassForTeacherReq request;
    const LoginRsp &login = LoginRsp::shareRsp();
    request.schoolId = login.user ? login.user->SchoolId : 0;
    request.grade = 0;
    const auto answer = AnswerHandler<SelectClassForTeacherRsp>(this).keptFirst().onSuccess(
        [this](const SelectClassForTeacherRsp &rsp) {
            QList<SelectClassModel> free;
            for (const SelectClassModel &schoolClass :
                 rsp.classList.value_or(RecordArray<SelectClassModel>())) {
                if (schoolClass.ApprovalExists == 0 && schoolClass.TeacherIsExists == 0)
                    free.append(schoolClass);
            }
            const int selected = pickerSelectedRow();
            m_pickRows->setClasses(free);
            selectPickerRow(qMin(selected, m_pickRows->count() - 1));
        });
    answer.send(request);
}

void UserDetailVC::rightBarButtonItemPressed() {
    m_isEdit = !m_isEdit;
    showEditButtonText();
    // Nothing can be chosen once the rows are plain again.
    if (!m_isEdit)
        hideClassPicker();
    showTeacherTexts();
    m_ui->userFootView->setVisible(m_isEdit);
    m_classRows->setSelectable(m_isEdit);
    m_classCell->setDesign(m_isEdit ? UserClassCell::EditDesign : UserClassCell::PlainDesign);
}

void UserDetailVC::showTeacherTexts() {
    const QString suffix = m_isEdit ? notModifiableSuffix() : QString();
    const UserDetailInfo user = m_teacherUser.value_or(UserDetailInfo());
    m_ui->nameContentLabel->setText(user.RealName.value_or(QString()) + suffix);
    m_ui->schoolContentLabel->setText(user.SchoolName.value_or(QString()) + suffix);
    // Header labels in edit mode are greyed: nothing there can change.
    const QColor colour(m_isEdit ? FrameStyle::LockedText : FrameStyle::DarkGrey);
    for (QLabel *label : {m_ui->nameTitleLabel, m_ui->nameContentLabel, m_ui->schoolTitleLabel,
                          m_ui->schoolContentLabel}) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, colour);
        label->setPalette(palette);
    }
}

void UserDetailVC::fitClassList() {
    m_ui->userClassTableView->setFixedHeight(m_classRows->count() * UserClassCell::RowHeight);
}

void UserDetailVC::addClassClickAction() {
    m_isAdd = true;
    if (isPickerShowing())
        hideClassPicker();
    else
        showClassPicker();
}

void UserDetailVC::tableViewDidSelectRowAtIndexPath(int row) {
    if (!m_isEdit || !m_classRows->isValidRow(row))
        return;
    m_isAdd = false;
    m_chooseIndex = row;
    turnArrow(row);
    showClassPicker();
    m_ui->userClassTableView->clearSelection();
}

void UserDetailVC::turnArrow(int row) {
    if (m_arrowTurn)
        m_arrowTurn->stop();
    auto *turn = new QVariantAnimation(this);
    turn->setStartValue(0.0);
    turn->setEndValue(90.0);
    turn->setDuration(ArrowTurnMs);
    connect(turn, &QVariantAnimation::valueChanged, this, [this, row](const QVariant &degrees) {
        m_classRows->setArrowAngle(row, degrees.toReal());
    });
    m_arrowTurn = turn;
    turn->start(QAbstractAnimation::DeleteWhenStopped);
}

bool UserDetailVC::isPickerShowing() const {
    return !m_ui->userGradeView->isHidden();
}

void UserDetailVC::placePicker() {
    m_ui->userGradeView->setGeometry(0, height() - PickerHeight, width(), PickerHeight);
}

void UserDetailVC::showClassPicker() {
    if (!m_pickRows->isValidRow(m_ui->userClassPickView->currentIndex().row()))
        selectPickerRow(0);
    if (!isPickerShowing()) {
        placePicker();
        m_ui->userGradeView->show();
        m_ui->userGradeView->raise();
        // A click anywhere else on the screen ends the editing, as a touch outside the field
        // does on a phone.
        qApp->installEventFilter(this);
    }
    m_ui->userClassPickView->setFocus(Qt::PopupFocusReason);
}

void UserDetailVC::hideClassPicker() {
    if (m_arrowTurn)
        m_arrowTurn->stop();
    m_classRows->setArrowAngle(-1, 0);
    if (!isPickerShowing())
        return;
    qApp->removeEventFilter(this);
    const bool hadFocus = m_ui->userGradeView->isAncestorOf(QApplication::focusWidget());
    m_ui->userGradeView->hide();
    if (hadFocus)
        m_ui->userClassTableView->setFocus(Qt::OtherFocusReason);
}

int UserDetailVC::pickerSelectedRow() const {
    if (m_pickRows->count() == 0)
        return -1;
    const QModelIndex current = m_ui->userClassPickView->currentIndex();
    return current.isValid() ? current.row() : 0;
}

void UserDetailVC::selectPickerRow(int row) {
    if (!m_pickRows->isValidRow(row))
        return;
    m_ui->userClassPickView->setCurrentIndex(m_pickRows->index(row));
}

void UserDetailVC::sureBtnClickAction() {
    hideClassPicker();
    const int row = pickerSelectedRow();
    if (!m_pickRows->isValidRow(row))
        return;
    const qint64 newClassId = m_pickRows->classes().at(row).ClassId;
    if (m_isAdd) {
        changeClassForTeacherWithActionType(AddClass, 0, newClassId);
        return;
    }
    if (!m_classRows->isValidRow(m_chooseIndex))
        return;
    changeClassForTeacherWithActionType(
        ExchangeClass, m_classRows->classes().at(m_chooseIndex).ClassId, newClassId);
}

void UserDetailVC::deleteClassAction(int row) {
    m_chooseIndex = row;
    QPointer<UserDetailVC> self(this);
    AlertView::show(tr("温馨提示"), tr("是否确定删除班级"), {tr("取消"), tr("确认")},
                    [self](int button) {
                        if (!self || button != 1)
                            return;
                        // The list may have shrunk while the question was up.
                        UserClassRows *rows = self->m_classRows;
                        if (!rows->isValidRow(self->m_chooseIndex))
                            return;
                        self->changeClassForTeacherWithActionType(
                            RemoveClass, rows->classes().at(self->m_chooseIndex).ClassId, 0);
                    });
}

void UserDetailVC::changeClassForTeacherWithActionType(qint64 type, qint64 oldClassId,
                                                       qint64 newClassId) {
    ChangeClassForTeacherReq request;
    request.uid = LoginRsp::shareRsp().uid;
    request.type = type;
    request.classId = oldClassId;
    request.newClassId = newClassId;
    ProgressHud::show();
    // The message shows whatever the result: it says what became of the change.
    const auto showMessage = [](const ChangeClassForTeacherRsp &rsp) {
        Toast::show(rsp.msg.value_or(QString()), ChangeAnswerSeconds);
    };
    const auto answer = AnswerHandler<ChangeClassForTeacherRsp>(this)
                            .dismissingHud()
                            // The home lists the teacher's classes too, and must follow
                            // whether or not this screen is still open.
                            .onAccepted([](const ChangeClassForTeacherRsp &) {
                                NotificationCenter::post(NOTIFICATION_UPDATE_MAIN);
                            })
                            .onRefusal(showMessage)
                            .onSuccess([this, showMessage, type, oldClassId,
                                        newClassId](const ChangeClassForTeacherRsp &rsp) {
                                showMessage(rsp);
                                classChanged(type, oldClassId, newClassId);
                            });
    answer.send(request);
}

void UserDetailVC::classChanged(qint64 type, qint64 oldClassId, qint64 newClassId) {
    hideClassPicker();
    // The rows are found by the class the request named: by the time the answer comes the lists
    // may have been reloaded or shortened, and another row must not go in its place.
    switch (type) {
    case RemoveClass:
        if (m_classRows->removeClass(oldClassId, m_chooseIndex) >= 0)
            fitClassList();
        break;
    case AddClass:
        // The request waits for the school's approval: the class leaves the picker but does not
        // join the teacher's list yet. The picker (single selection) moves its highlight to the
        // next class, as a wheel would.
        m_pickRows->removeClass(newClassId, pickerSelectedRow());
        break;
    case ExchangeClass:
        // Whether the class given up goes at once or only once the new one is approved is the
        // service's to say: both lists are read again rather than guessed.
        getSelectClassForTeacherAction();
        getTeacherInfoAction();
        break;
    default:
        break;
    }
}

void UserDetailVC::backKeyAction() {
    if (isPickerShowing()) {
        hideClassPicker();
        return;
    }
    BasicVC::backKeyAction();
}

bool UserDetailVC::keyOnClassList(int key) {
    if (!m_isEdit)
        return false;
    const int row = m_ui->userClassTableView->currentIndex().row();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        tableViewDidSelectRowAtIndexPath(row);
        return true;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        if (m_classRows->isValidRow(row))
            deleteClassAction(row);
        return true;
    default:
        return false;
    }
}

bool UserDetailVC::clickEndsEditing(QObject *watched) const {
    auto *widget = qobject_cast<QWidget *>(watched);
    QWidget *picker = m_ui->userGradeView;
    return widget && isAncestorOf(widget) && widget != picker && !picker->isAncestorOf(widget) &&
           !TapGestureRecognizer::isControl(widget);
}

bool UserDetailVC::eventFilter(QObject *watched, QEvent *event) {
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress && isPickerShowing() && clickEndsEditing(watched))
        hideClassPicker();
    if (type == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (watched == m_ui->userClassTableView && keyOnClassList(key))
            return true;
        if (watched == m_ui->userClassPickView && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            sureBtnClickAction();
            return true;
        }
    }
    return BasicVC::eventFilter(watched, event);
}
