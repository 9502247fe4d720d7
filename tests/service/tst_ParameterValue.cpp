#include "ParameterValue.h"
#include "RecordTestHelpers.h"

#include <QtTest>

using namespace RecordTestHelpers;

// Parameter dictionaries: key order for the form body, and JSON values taken in as they stand.
class tst_ParameterValue : public QObject {
    Q_OBJECT

private slots:
    void codePointOrder_data();
    void codePointOrder();
    void fromJson_data();
    void fromJson();
};

void tst_ParameterValue::codePointOrder_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::newRow("case-insensitive order") << "Zeta"
                                            << "alpha";
    // UTF-16 unit order gets these wrong: a surrogate pair is below U+E000 as units.
    QTest::newRow("surrogates below private use")
        << QStringLiteral("\ue000") << QStringLiteral("\U00010000");
    QTest::newRow("surrogates below full-width")
        << QStringLiteral("k\uffff") << QStringLiteral("k\U0001F600");
    QTest::newRow("low surrogate ignored")
        << QStringLiteral("\U0001F600") << QStringLiteral("\U0001F601");
    QTest::newRow("surrogates above everything")
        << QStringLiteral("\ud7ff") << QStringLiteral("\U00020000");
}

void tst_ParameterValue::codePointOrder() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QVERIFY(codePointLess(a, b));
    QVERIFY(!codePointLess(b, a));
    QVERIFY(!codePointLess(a, a));
}

void tst_ParameterValue::fromJson_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("textForm");

    using T = ParameterValue::Type;
    QTest::newRow("integer through double")
        << QByteArray("9007199254740993") << int(T::Integer) << "9007199254740993";
    QTest::newRow("real truncated") << QByteArray("-0.001") << int(T::Real) << "-0.001";
    QTest::newRow("null lost") << QByteArray("null") << int(T::Null) << "";
    QTest::newRow("array lost") << QByteArray("[1,null,{\"k\":\"v\"}]") << int(T::List) << "";
}

void tst_ParameterValue::fromJson() {
    QFETCH(QByteArray, json);
    QFETCH(int, type);
    QFETCH(QString, textForm);
    const QJsonValue source = jsonValue(json);
    const ParameterValue value = ParameterValue::fromJson(source);
    QCOMPARE(int(value.type()), type);
    QCOMPARE(value.textForm(), textForm);
    QCOMPARE(value.toJson(), source);
}

QTEST_GUILESS_MAIN(tst_ParameterValue)
#include "tst_ParameterValue.moc"
