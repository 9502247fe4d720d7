#include "KeyValueMapping.h"
#include "RecordTestHelpers.h"
#include "records/AccountRecords.h"
#include "records/ContentRecords.h"

#include <QtTest>

using namespace RecordTestHelpers;

// Properties every record must have, checked over all record types the catalogue reaches, and
// the service's quirks that a tidy-minded edit would "fix".
class tst_Records : public QObject {
    Q_OBJECT

private slots:
    void everyFieldHasItsOwnMember();
    void defaultRecordSendsOnlyNumbersAndFlags();
    void quirkyKeys_data();
    void quirkyKeys();
    void passwordResetSendsNoOldPassword();
};

void tst_Records::everyFieldHasItsOwnMember() {
    // Each field gets a value of its own and must come back under its own key: catches two names
    // pointing at one member, a field of the wrong kind, or a base whose fields are skipped.
    const QList<const RecordType *> types = allRecordTypes();
    QVERIFY(types.size() > 60);
    for (const RecordType *type : types) {
        QJsonObject answer;
        qint64 n = 1000;
        for (const FieldInfo *field : type->allFields()) {
            switch (field->kind) {
            case FieldKind::Int64:
                answer.insert(field->name, ++n);
                break;
            case FieldKind::Bool:
                answer.insert(field->name, true);
                break;
            case FieldKind::String:
                answer.insert(field->name, QStringLiteral("text %1").arg(++n));
                break;
            case FieldKind::PlainArray:
                answer.insert(field->name, QJsonArray{++n, QStringLiteral("x")});
                break;
            case FieldKind::Record:
                answer.insert(field->name, QJsonObject());
                break;
            case FieldKind::RecordArray:
                answer.insert(field->name, QJsonArray{QJsonObject(), QJsonObject()});
                break;
            }
        }
        RecordHandle record = makeRecord(*type);
        KeyValueMapping::fillFromJson(record.get(), *type, answer);
        const QJsonObject back = KeyValueMapping::keyValues(record.get(), *type).toJson();
        QCOMPARE(back.size(), answer.size());
        for (auto it = answer.begin(); it != answer.end(); ++it) {
            const QString where = QLatin1StringView(type->name) + u'.' + it.key();
            if (it.value().isObject() ||
                (it.value().isArray() && it.value().toArray()[0].isObject()))
                QVERIFY2(back.value(it.key()).type() == it.value().type(), qPrintable(where));
            else
                QVERIFY2(back.value(it.key()) == it.value(), qPrintable(where));
        }
    }
}

void tst_Records::defaultRecordSendsOnlyNumbersAndFlags() {
    // A fresh record sends 0 and false for numbers and flags and leaves every other field out:
    // catches a default that is not empty, and a field written even when absent.
    for (const RecordType *type : allRecordTypes()) {
        RecordHandle record = makeRecord(*type);
        const ParameterDictionary dict = KeyValueMapping::keyValues(record.get(), *type);
        qsizetype expected = 0;
        for (const FieldInfo *field : type->allFields()) {
            const ParameterValue *value = dict.find(field->name);
            const QByteArray where = QByteArray(type->name) + '.' + field->name.toLatin1();
            if (field->kind == FieldKind::Int64 || field->kind == FieldKind::Bool) {
                ++expected;
                QVERIFY2(value, where);
                QVERIFY2(*value == (field->kind == FieldKind::Int64 ? ParameterValue(qint64(0))
                                                                    : ParameterValue(false)),
                         where);
            } else {
                QVERIFY2(!value, where);
            }
        }
        QCOMPARE(dict.size(), expected);
    }
}

void tst_Records::quirkyKeys_data() {
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("isField");

    QTest::newRow("ImgageUrlList spelling corrected") << "FeelDetailRsp"
                                                      << "ImgageUrlList" << true;
    QTest::newRow("ImageUrlList taken") << "FeelDetailRsp"
                                        << "ImageUrlList" << false;
    QTest::newRow("GradeId lost") << "SelectClassModel"
                                  << "GradeId" << true;
    QTest::newRow("collectlist renamed") << "GetTeacherCollectionsRsp"
                                         << "collectlist" << true;
    QTest::newRow("NEWPassword case changed") << "SetNewPasswordReq"
                                              << "NEWPassword" << true;
    QTest::newRow("nested answer given an envelope") << "FeelDetailRsp"
                                                     << "result" << false;
    QTest::newRow("StudentUseInfo name fixed") << "StudentUseInfo"
                                               << "PhotoStr" << true;
    QTest::newRow("misspelt record name fixed") << "GetStudentPersonHomeIndextRsp"
                                                << "testList" << true;
}

void tst_Records::quirkyKeys() {
    QFETCH(QString, type);
    QFETCH(QString, key);
    QFETCH(bool, isField);
    const RecordType *record = recordTypeNamed(type);
    QVERIFY2(record, qPrintable(type));
    QCOMPARE(record->field(key) != nullptr, isField);
}

void tst_Records::passwordResetSendsNoOldPassword() {
    SetNewPasswordReq reset;
    reset.uid = 5;
    reset.NEWPassword = QStringLiteral("secret1");
    QCOMPARE(KeyValueMapping::keyValues(reset),
             (ParameterDictionary{{"uid", qint64(5)},
                                  {"type", qint64(0)},
                                  {"NEWPassword", QStringLiteral("secret1")}}));
}

QTEST_GUILESS_MAIN(tst_Records)
#include "tst_Records.moc"
