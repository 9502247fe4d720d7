#include "DemoPeople.h"

#include <QStringList>

namespace {

struct Syllable {
    const char16_t *character;
    const char *pinyin;
};

const Syllable Surnames[] = {
    {u"王", "wang"},  {u"李", "li"},    {u"张", "zhang"}, {u"刘", "liu"},  {u"陈", "chen"},
    {u"杨", "yang"},  {u"黄", "huang"}, {u"赵", "zhao"},  {u"吴", "wu"},   {u"周", "zhou"},
    {u"徐", "xu"},    {u"孙", "sun"},   {u"马", "ma"},    {u"朱", "zhu"},  {u"胡", "hu"},
    {u"郭", "guo"},   {u"何", "he"},    {u"林", "lin"},   {u"高", "gao"},  {u"罗", "luo"},
    {u"郑", "zheng"}, {u"梁", "liang"}, {u"谢", "xie"},   {u"宋", "song"}, {u"唐", "tang"},
    {u"韩", "han"},   {u"冯", "feng"},  {u"邓", "deng"},  {u"曹", "cao"},  {u"彭", "peng"},
    {u"曾", "zeng"},  {u"肖", "xiao"},  {u"田", "tian"},  {u"董", "dong"}, {u"潘", "pan"},
    {u"袁", "yuan"},  {u"蒋", "jiang"}, {u"蔡", "cai"},   {u"余", "yu"},   {u"杜", "du"},
    {u"叶", "ye"},    {u"程", "cheng"}, {u"魏", "wei"},   {u"苏", "su"},   {u"丁", "ding"},
    {u"沈", "shen"},  {u"姚", "yao"},   {u"方", "fang"},
};

const Syllable BoyCharacters[] = {
    {u"浩", "hao"}, {u"宇", "yu"},   {u"轩", "xuan"}, {u"子", "zi"},   {u"博", "bo"},
    {u"文", "wen"}, {u"俊", "jun"},  {u"杰", "jie"},  {u"明", "ming"}, {u"睿", "rui"},
    {u"泽", "ze"},  {u"晨", "chen"}, {u"阳", "yang"}, {u"一", "yi"},   {u"天", "tian"},
    {u"嘉", "jia"}, {u"铭", "ming"}, {u"锦", "jin"},  {u"辰", "chen"}, {u"皓", "hao"},
    {u"然", "ran"}, {u"航", "hang"}, {u"逸", "yi"},   {u"凯", "kai"},  {u"昊", "hao"},
    {u"梓", "zi"},  {u"思", "si"},   {u"远", "yuan"}, {u"志", "zhi"},  {u"鹏", "peng"},
    {u"伟", "wei"}, {u"磊", "lei"},  {u"乐", "le"},   {u"安", "an"},   {u"诚", "cheng"},
};

const Syllable GirlCharacters[] = {
    {u"欣", "xin"}, {u"怡", "yi"},  {u"雨", "yu"},   {u"萱", "xuan"}, {u"梓", "zi"},
    {u"涵", "han"}, {u"诗", "shi"}, {u"琪", "qi"},   {u"佳", "jia"},  {u"悦", "yue"},
    {u"可", "ke"},  {u"馨", "xin"}, {u"语", "yu"},   {u"彤", "tong"}, {u"晴", "qing"},
    {u"若", "ruo"}, {u"依", "yi"},  {u"紫", "zi"},   {u"婷", "ting"}, {u"静", "jing"},
    {u"雅", "ya"},  {u"思", "si"},  {u"玥", "yue"},  {u"安", "an"},   {u"然", "ran"},
    {u"心", "xin"}, {u"瑶", "yao"}, {u"梦", "meng"}, {u"艺", "yi"},   {u"菲", "fei"},
};

template <std::size_t N> const Syllable &pick(QRandomGenerator &random, const Syllable (&list)[N]) {
    return list[random.bounded(int(N))];
}

} // namespace

DemoName DemoPeople::childName(QRandomGenerator &random, qint64 sex) {
    const Syllable &surname = pick(random, Surnames);
    DemoName result;
    result.sex = sex ? 1 : 0;
    result.name = QString::fromUtf16(surname.character);
    result.pinyin = QString::fromLatin1(surname.pinyin);
    // About a third of the names have a single given character.
    const int given = random.bounded(3) == 0 ? 1 : 2;
    for (int i = 0; i < given; ++i) {
        const Syllable &syllable = sex ? pick(random, GirlCharacters) : pick(random, BoyCharacters);
        result.name += QString::fromUtf16(syllable.character);
        result.pinyin += u' ' + QString::fromLatin1(syllable.pinyin);
    }
    return result;
}

QString DemoPeople::mobileNumber(QRandomGenerator &random) {
    QString number = random.bounded(2) ? QStringLiteral("13") : QStringLiteral("15");
    number += QString::number(random.bounded(1, 10)); // third digit never 0: looks real
    while (number.size() < 11)
        number += QChar(u'0' + random.bounded(10));
    return number;
}
