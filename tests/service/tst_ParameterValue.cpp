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
    void sortedKeys();
    void fromJson_data();
    void fromJson();
    void dictionaryKeysAreUnique();
};

void tst_ParameterValue::codePointOrder_data() {
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::addColumn<bool>("less");

    QTest::newRow("capitals first") << "Zeta"
                                    << "alpha" << true;
    QTest::newRow("prefix first") << "uid"
                                  << "uidx" << true;
    QTest::newRow("longer after prefix") << "uidx"
                                         << "uid" << false;
    QTest::newRow("equal") << "uid"
                           << "uid" << false;
    QTest::newRow("empty first") << ""
                                 << "a" << true;
    QTest::newRow("Latin-1 after ASCII") << QStringLiteral("\u00e9") << "z" << false;
    QTest::newRow("below surrogates")
        << QStringLiteral("\ud7ff") << QStringLiteral("\ue000") << true;
    // UTF-16 unit order gets these wrong: a surrogate pair is below U+E000 as units.
    QTest::newRow("private use before astral")
        << QStringLiteral("\ue000") << QStringLiteral("\U00010000") << true;
    QTest::newRow("astral after private use")
        << QStringLiteral("\U00010000") << QStringLiteral("\ue000") << false;
    QTest::newRow("full-width before emoji")
        << QStringLiteral("\uff41") << QStringLiteral("\U0001F600") << true;
    QTest::newRow("emoji after full-width")
        << QStringLiteral("k\U0001F600") << QStringLiteral("k\uffff") << false;
    QTest::newRow("astral by low surrogate")
        << QStringLiteral("\U0001F600") << QStringLiteral("\U0001F601") << true;
    QTest::newRow("astral by high surrogate")
        << QStringLiteral("\U00020000") << QStringLiteral("\U0001F600") << false;
    QTest::newRow("CJK before astral")
        << QStringLiteral("\u4e66") << QStringLiteral("\U00020000") << true;
}

void tst_ParameterValue::codePointOrder() {
    QFETCH(QString, a);
    QFETCH(QString, b);
    QFETCH(bool, less);

    QCOMPARE(codePointLess(a, b), less);
    // The reference: code points compared one by one.
    const QList<uint> ua = a.toUcs4();
    const QList<uint> ub = b.toUcs4();
    QCOMPARE(std::lexicographical_compare(ua.begin(), ua.end(), ub.begin(), ub.end()), less);
}

void tst_ParameterValue::sortedKeys() {
    ParameterDictionary dict;
    const QStringList inserted{QStringLiteral("\U0001F600"),
                               "uid",
                               QStringLiteral("\uff41"),
                               "Zeta",
                               "alpha",
                               "NEWPassword",
                               "_",
                               "9"};
    for (const QString &key : inserted)
        dict.insert(key, qint64(1));
    const std::vector<QString> sorted = dict.sortedKeys();
    QCOMPARE(QStringList(sorted.begin(), sorted.end()),
             (QStringList{"9", "NEWPassword", "Zeta", "_", "alpha", "uid", QStringLiteral("\uff41"),
                          QStringLiteral("\U0001F600")}));
}

void tst_ParameterValue::fromJson_data() {
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("textForm");

    using T = ParameterValue::Type;
    QTest::newRow("integer") << QByteArray("15") << int(T::Integer) << "15";
    QTest::newRow("zero") << QByteArray("0") << int(T::Integer) << "0";
    QTest::newRow("negative zero real") << QByteArray("-0.0") << int(T::Integer) << "0";
    QTest::newRow("negative") << QByteArray("-3") << int(T::Integer) << "-3";
    QTest::newRow("beyond double precision")
        << QByteArray("9007199254740993") << int(T::Integer) << "9007199254740993";
    QTest::newRow("int64 min") << QByteArray("-9223372036854775808") << int(T::Integer)
                               << "-9223372036854775808";
    QTest::newRow("real") << QByteArray("2.5") << int(T::Real) << "2.5";
    QTest::newRow("small real") << QByteArray("-0.001") << int(T::Real) << "-0.001";
    QTest::newRow("past int64") << QByteArray("9223372036854775808") << int(T::Real)
                                << "9223372036854776000";
    QTest::newRow("true") << QByteArray("true") << int(T::Boolean) << "1";
    QTest::newRow("false") << QByteArray("false") << int(T::Boolean) << "0";
    QTest::newRow("text") << QByteArray("\"a b\"") << int(T::Text) << "a b";
    QTest::newRow("null") << QByteArray("null") << int(T::Null) << "";
    QTest::newRow("object") << QByteArray("{\"k\":1}") << int(T::Dictionary) << "";
    QTest::newRow("array") << QByteArray("[1,null]") << int(T::List) << "";
}

void tst_ParameterValue::fromJson() {
    QFETCH(QByteArray, json);
    QFETCH(int, type);
    QFETCH(QString, textForm);

    const QJsonValue source = jsonValue(json);
    const ParameterValue value = ParameterValue::fromJson(source);
    QCOMPARE(int(value.type()), type);
    QCOMPARE(value.textForm(), textForm);
    // Back to JSON it is the same value (integers exact, nulls kept).
    QCOMPARE(value.toJson(), source);
}

void tst_ParameterValue::dictionaryKeysAreUnique() {
    ParameterDictionary dict{{"uid", qint64(1)}, {"name", QStringLiteral("a")}};
    dict.insert("uid", qint64(2));
    QCOMPARE(dict.size(), 2);
    QCOMPARE(dict.value("uid").integer(), qint64(2));
    // Equality does not depend on the order of insertion.
    QCOMPARE(dict, (ParameterDictionary{{"name", QStringLiteral("a")}, {"uid", qint64(2)}}));
    QVERIFY(!(dict == ParameterDictionary{{"uid", qint64(2)}}));
    dict.remove("uid");
    QVERIFY(!dict.contains("uid"));
    QVERIFY(dict.value("uid").isNull());
}

QTEST_GUILESS_MAIN(tst_ParameterValue)
#include "tst_ParameterValue.moc"
