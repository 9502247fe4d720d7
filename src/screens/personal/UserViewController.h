#pragma once

#include "BasicVC.h"
#include "PhotoPicker.h"
#include "SettingModel.h"

#include <QByteArray>

#include <functional>
#include <memory>

class NavigationController;
class QLabel;
class QListView;
class QPushButton;
class SettingRows;
namespace Ui {
class UserViewController;
}

// The personal centre, root of the fourth tab; its stack hides the navigation bar. The head card
// shows the signed-in teacher (photo, name, region, school) as the login gave it, filled once
// when the screen loads; the menu below leads to the profile, the collection and the settings.
// A tap on the photo offers a new one, taken now or picked from a file, which is uploaded at once.
class UserViewController : public BasicVC {
    Q_OBJECT
public:
    // The menu rows' tags.
    enum MenuTag { UserDetailTag = 100, MyCollectionTag = 101, SettingTag = 102 };
    // The photo sheet's buttons, by index.
    enum PhotoButton { TakePhotoButton = 0, PickFileButton = 1, CancelButton = 2 };

    using CameraCheck = std::function<bool()>;
    using PhotoPick = std::function<void(ViewController *host, PhotoPicker::Source source,
                                         std::function<void(const QByteArray &jpeg)> done)>;

    explicit UserViewController(QWidget *parent = nullptr);
    ~UserViewController() override;

    // A new screen in a new navigation stack whose bar is hidden.
    static NavigationController *navigationControllerContainSelf();

    // The head card from the current login's user; empty texts for what the login did not give.
    void layOutTheHeadView();
    // By the row's tag: a new profile, collection or settings screen; other rows do nothing.
    void tableViewDidSelectRowAtIndexPath(const QModelIndex &index);
    // Pushes `screen` with the tab bar hidden, and shows the navigation bar this root hides.
    void pushToViewController(ViewController *screen);

    // Offers "现在拍摄", "从相册选取" and "取消" in an action sheet.
    void choosePicAction();
    // The sheet's answer: a picture taken now (from a file when there is no camera), a picture
    // file, or nothing.
    void actionSheetClickedButtonAtIndex(int buttonIndex);
    // Uploads the JPEG as the teacher's photo; the answer's photo URL replaces the one shown.
    void updateTeacherPhotoActionWithImageData(const QByteArray &jpeg);

    // Where pictures come from; PhotoPicker unless a test says otherwise. Empty keeps the
    // current one.
    void setPhotoSource(CameraCheck hasCamera, PhotoPick pick);

    const QList<SettingModel> &userArray() const;
    QListView *userTableView() const;
    QPushButton *headImageButton() const;
    QLabel *headImageView() const;
    QLabel *userNameLabel() const;
    QLabel *userAreaLabel() const;
    QLabel *userSchoolLabel() const;

protected:
    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void retranslate() override;

private:
    void applyTexts();
    std::unique_ptr<Ui::UserViewController> m_ui;
    SettingRows *m_rows = nullptr;
    CameraCheck m_hasCamera = &PhotoPicker::hasCamera;
    PhotoPick m_pick = &PhotoPicker::pick;
};
