#pragma once

#include <QList>
#include <QString>

// The customer-service telephone numbers the help screen lists. They are configuration of the
// client, read from its settings file each time the help screen is made:
//   serviceHotline   the hotline, e.g. "400-800-6060"
//   serviceLandline  the landline, optionally with "转" and an extension ("0571-88886060转8001")
// A missing or malformed value falls back to the built-in number, with a warning.
struct ServiceNumbers {
    QString hotline;
    QString landline;  // what is dialled: the number without the extension
    QString extension; // empty when there is none

    static inline const QString HotlineKey = QStringLiteral("serviceHotline");
    static inline const QString LandlineKey = QStringLiteral("serviceLandline");

    static ServiceNumbers configured();
    // The landline row's label: the number, then "转" and the extension when there is one.
    QString landlineLabel() const;
};

// One row of the personal centre's menus: a label, an icon and the tag that decides what the row
// opens. Tags are unique within one menu; the order of a menu is the order of its list.
struct SettingModel {
    QString settingName;    // the source text; displayName() is what is shown
    QString settingSubName; // a value shown at the row's end, already in the current language
    QString settingImage;   // asset name of the icon
    int settingTag = 0;

    // 个人资料 100, 我的收藏 101, 系统设置 102.
    static QList<SettingModel> arrayForPersonalCenter();
    // 修改密码 100, 修改手机号 102, 帮助与客服 101, 语言 / Language 103 (the order is not that
    // of the tags).
    static QList<SettingModel> arrayForSetting();
    // The hotline (100) and the landline with its extension (101).
    static QList<SettingModel> arrayForHelpService(const ServiceNumbers &numbers);
    static QList<SettingModel> arrayForHelpService();

    // settingName in the current language; a name with no translation (a number) as it is.
    QString displayName() const;
    // The settings menu's language row, named in both languages at once.
    static constexpr int LanguageTag = 103;
};
