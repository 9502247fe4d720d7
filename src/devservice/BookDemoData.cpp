#include "BookDemoData.h"

#include "ServiceDatabase.h"

#include <QHash>
#include <QLoggingCategory>
#include <QRandomGenerator>
#include <QSet>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(lcBookDemo, "reading.service.books.demo")

namespace BookDemoData {

namespace {

// Fixed seeds: the demo must look the same on every fresh database.
constexpr quint32 CatalogueSeed = 20261206u;
constexpr quint32 ActivitySeed = 1206u;

enum SortIds : qint64 {
    FairyTales = 1,
    PictureBooks,
    Classics,
    Science,
    History,
    Poetry,
    Fables,
    Nature,
    School,
};

QString gradeNumeral(int grade) {
    static const QStringList numerals = {QStringLiteral("一"), QStringLiteral("二"),
                                         QStringLiteral("三"), QStringLiteral("四"),
                                         QStringLiteral("五"), QStringLiteral("六")};
    return numerals.value(grade - 1, QString::number(grade));
}

struct Press {
    QString name;
    int code; // four-digit publisher part of the ISBN
};

const QList<Press> &presses() {
    static const QList<Press> list = {
        {QStringLiteral("人民文学出版社"), 5020},
        {QStringLiteral("少年儿童出版社"), 5324},
        {QStringLiteral("中国少年儿童出版社"), 5148},
        {QStringLiteral("浙江少年儿童出版社"), 5342},
        {QStringLiteral("二十一世纪出版社"), 5391},
        {QStringLiteral("接力出版社"), 5448},
        {QStringLiteral("长江少年儿童出版社"), 5560},
        {QStringLiteral("湖南少年儿童出版社"), 5358},
        {QStringLiteral("明天出版社"), 5332},
        {QStringLiteral("新蕾出版社"), 5307},
        {QStringLiteral("天天出版社"), 5016},
        {QStringLiteral("北京少年儿童出版社"), 5301},
        {QStringLiteral("江苏凤凰少年儿童出版社"), 5584},
        {QStringLiteral("希望出版社"), 5379},
        {QStringLiteral("海豚出版社"), 5110},
    };
    return list;
}

// One title with the word its introduction talks about (a topic, a person, a hero).
struct Title {
    QString name;
    QString subject;
    QString extra; // a measure word or an action, for the generated fairy tales and picture books
};

QList<Title> plain(const QStringList &names) {
    QList<Title> titles;
    for (const QString &name : names)
        titles.append({name, name, {}});
    return titles;
}

QList<Title> fairyTaleTitles() {
    QList<Title> titles = plain({
        QStringLiteral("安徒生童话"),       QStringLiteral("格林童话"),
        QStringLiteral("王尔德童话"),       QStringLiteral("豪夫童话"),
        QStringLiteral("小王子"),           QStringLiteral("木偶奇遇记"),
        QStringLiteral("绿野仙踪"),         QStringLiteral("爱丽丝漫游奇境"),
        QStringLiteral("彼得·潘"),          QStringLiteral("柳林风声"),
        QStringLiteral("夏洛的网"),         QStringLiteral("稻草人"),
        QStringLiteral("宝葫芦的秘密"),     QStringLiteral("大林和小林"),
        QStringLiteral("小鲤鱼跳龙门"),     QStringLiteral("小布头奇遇记"),
        QStringLiteral("尼尔斯骑鹅旅行记"), QStringLiteral("胡桃夹子"),
        QStringLiteral("快乐王子"),         QStringLiteral("长袜子皮皮"),
    });
    // "小刺猬的生日蛋糕": a small animal and the one thing its adventure turns on.
    const QStringList heroes = {
        QStringLiteral("小熊"),   QStringLiteral("小狐狸"), QStringLiteral("小刺猬"),
        QStringLiteral("小松鼠"), QStringLiteral("小企鹅"), QStringLiteral("小象"),
        QStringLiteral("小兔子"), QStringLiteral("小鸭子"), QStringLiteral("小花猫"),
        QStringLiteral("小海豚"),
    };
    const QList<QPair<QString, QString>> things = {
        {QStringLiteral("红雨伞"), QStringLiteral("把")},
        {QStringLiteral("魔法书"), QStringLiteral("本")},
        {QStringLiteral("生日蛋糕"), QStringLiteral("个")},
        {QStringLiteral("蓝气球"), QStringLiteral("只")},
        {QStringLiteral("彩虹围巾"), QStringLiteral("条")},
        {QStringLiteral("旅行箱"), QStringLiteral("只")},
        {QStringLiteral("星星灯笼"), QStringLiteral("盏")},
        {QStringLiteral("小木屋"), QStringLiteral("座")},
        {QStringLiteral("南瓜车"), QStringLiteral("辆")},
        {QStringLiteral("纸飞机"), QStringLiteral("架")},
    };
    for (qsizetype h = 0; h < heroes.size(); ++h) {
        // Four different things per hero, spread so every thing appears four times.
        for (int k = 0; k < 4; ++k) {
            const auto &thing = things.at((h * 3 + k * 7) % things.size());
            titles.append({heroes.at(h) + QStringLiteral("的") + thing.first, heroes.at(h),
                           thing.second + thing.first});
        }
    }
    return titles;
}

QList<Title> pictureBookTitles() {
    const QStringList heroes = {
        QStringLiteral("小象波波"), QStringLiteral("小熊嘟嘟"), QStringLiteral("小兔米米"),
        QStringLiteral("小狗豆豆"), QStringLiteral("小猫咪咪"), QStringLiteral("小鸡球球"),
        QStringLiteral("小猴跳跳"), QStringLiteral("小鹿贝贝"),
    };
    const QStringList actions = {
        QStringLiteral("去上学"), QStringLiteral("学游泳"),   QStringLiteral("过生日"),
        QStringLiteral("找妈妈"), QStringLiteral("种南瓜"),   QStringLiteral("看星星"),
        QStringLiteral("搬新家"), QStringLiteral("交朋友"),   QStringLiteral("学画画"),
        QStringLiteral("去海边"), QStringLiteral("不想睡觉"), QStringLiteral("第一次坐火车"),
    };
    QList<Title> titles;
    for (qsizetype h = 0; h < heroes.size(); ++h) {
        for (int k = 0; k < 5; ++k) {
            const QString &action = actions.at((h * 5 + k * 7) % actions.size());
            titles.append({heroes.at(h) + action, heroes.at(h), action});
        }
    }
    titles += plain({
        QStringLiteral("晚安，小月亮"),
        QStringLiteral("雨天的小黄伞"),
        QStringLiteral("风是什么颜色"),
        QStringLiteral("一颗种子的旅行"),
        QStringLiteral("打喷嚏的小火车"),
        QStringLiteral("爱吃蔬菜的小恐龙"),
        QStringLiteral("会唱歌的石头"),
        QStringLiteral("云朵棉花糖"),
        QStringLiteral("妈妈的怀抱最温暖"),
        QStringLiteral("爸爸的大手"),
        QStringLiteral("奶奶的桂花糕"),
        QStringLiteral("ABC字母歌"),
        QStringLiteral("谁藏起了冬天"),
    });
    return titles;
}

QList<Title> classicTitles() {
    return plain({
        QStringLiteral("西游记（青少版）"),
        QStringLiteral("水浒传（青少版）"),
        QStringLiteral("三国演义（青少版）"),
        QStringLiteral("红楼梦（青少版）"),
        QStringLiteral("鲁滨逊漂流记"),
        QStringLiteral("海底两万里"),
        QStringLiteral("汤姆·索亚历险记"),
        QStringLiteral("哈克贝利·芬历险记"),
        QStringLiteral("爱的教育"),
        QStringLiteral("骆驼祥子"),
        QStringLiteral("城南旧事"),
        QStringLiteral("呼兰河传"),
        QStringLiteral("朝花夕拾"),
        QStringLiteral("童年"),
        QStringLiteral("在人间"),
        QStringLiteral("我的大学"),
        QStringLiteral("格列佛游记"),
        QStringLiteral("金银岛"),
        QStringLiteral("八十天环游地球"),
        QStringLiteral("神秘岛"),
        QStringLiteral("格兰特船长的儿女"),
        QStringLiteral("小妇人"),
        QStringLiteral("秘密花园"),
        QStringLiteral("绿山墙的安妮"),
        QStringLiteral("长腿叔叔"),
        QStringLiteral("海蒂"),
        QStringLiteral("雾都孤儿"),
        QStringLiteral("大卫·科波菲尔"),
        QStringLiteral("堂吉诃德（少儿版）"),
        QStringLiteral("三个火枪手"),
        QStringLiteral("基督山伯爵（少儿版）"),
        QStringLiteral("钢铁是怎样炼成的"),
        QStringLiteral("简·爱（少儿版）"),
        QStringLiteral("老人与海"),
        QStringLiteral("野性的呼唤"),
        QStringLiteral("白牙"),
        QStringLiteral("吹小号的天鹅"),
        QStringLiteral("精灵鼠小弟"),
        QStringLiteral("草房子"),
        QStringLiteral("寄小读者"),
        QStringLiteral("繁星·春水"),
        QStringLiteral("森林报·春"),
        QStringLiteral("森林报·夏"),
        QStringLiteral("森林报·秋"),
        QStringLiteral("森林报·冬"),
        QStringLiteral("昆虫记"),
        QStringLiteral("名人传"),
        QStringLiteral("假如给我三天光明"),
        QStringLiteral("汤姆叔叔的小屋"),
        QStringLiteral("福尔摩斯探案集（少儿版）"),
        QStringLiteral("王子与贫儿"),
        QStringLiteral("小公主"),
        QStringLiteral("青鸟"),
    });
}

QList<Title> scienceTitles() {
    QList<Title> titles;
    const QStringList whyTopics = {
        QStringLiteral("宇宙星空"), QStringLiteral("恐龙世界"),   QStringLiteral("海洋生物"),
        QStringLiteral("人体奥秘"), QStringLiteral("植物王国"),   QStringLiteral("昆虫家族"),
        QStringLiteral("天气变化"), QStringLiteral("地球家园"),   QStringLiteral("交通工具"),
        QStringLiteral("鸟类朋友"), QStringLiteral("神奇的电"),   QStringLiteral("光与影"),
        QStringLiteral("机器人"),   QStringLiteral("火山与地震"), QStringLiteral("森林生态"),
        QStringLiteral("极地探险"), QStringLiteral("微小的生物"), QStringLiteral("古代发明"),
        QStringLiteral("数学魔法"), QStringLiteral("岩石与矿物"),
    };
    for (const QString &topic : whyTopics)
        titles.append({QStringLiteral("十万个为什么·") + topic, topic, {}});
    const QStringList encyclopedias = {
        QStringLiteral("恐龙"),     QStringLiteral("海洋动物"), QStringLiteral("太空探索"),
        QStringLiteral("昆虫"),     QStringLiteral("鸟类"),     QStringLiteral("植物"),
        QStringLiteral("交通工具"), QStringLiteral("人体"),     QStringLiteral("天气"),
        QStringLiteral("地球"),
    };
    for (const QString &topic : encyclopedias)
        titles.append({topic + QStringLiteral("大百科"), topic, {}});
    const QStringList secrets = {
        QStringLiteral("宇宙"), QStringLiteral("海底世界"), QStringLiteral("人体"),
        QStringLiteral("地球"), QStringLiteral("恐龙"),     QStringLiteral("火山"),
        QStringLiteral("昆虫"), QStringLiteral("天气"),
    };
    for (const QString &topic : secrets)
        titles.append({QStringLiteral("揭秘") + topic, topic, {}});
    titles += plain({
        QStringLiteral("从一粒种子到一棵大树"),
        QStringLiteral("一滴水的旅行"),
        QStringLiteral("影子是怎么来的"),
        QStringLiteral("为什么天空是蓝色的"),
        QStringLiteral("月亮为什么会变形"),
        QStringLiteral("我们的太阳系"),
        QStringLiteral("数学真好玩"),
        QStringLiteral("奇妙的指南针"),
        QStringLiteral("桥的故事"),
        QStringLiteral("纸是怎样造出来的"),
        QStringLiteral("DNA的奥秘"),
    });
    return titles;
}

QList<Title> historyTitles() {
    QList<Title> titles;
    const QStringList people = {
        QStringLiteral("孔子"),   QStringLiteral("屈原"),   QStringLiteral("司马迁"),
        QStringLiteral("张衡"),   QStringLiteral("蔡伦"),   QStringLiteral("祖冲之"),
        QStringLiteral("李时珍"), QStringLiteral("郑和"),   QStringLiteral("岳飞"),
        QStringLiteral("花木兰"), QStringLiteral("诸葛亮"), QStringLiteral("李白"),
        QStringLiteral("杜甫"),   QStringLiteral("苏轼"),   QStringLiteral("詹天佑"),
        QStringLiteral("鉴真"),   QStringLiteral("玄奘"),   QStringLiteral("张骞"),
        QStringLiteral("文天祥"), QStringLiteral("王羲之"),
    };
    for (const QString &person : people)
        titles.append({person + QStringLiteral("的故事"), person, {}});
    titles += plain({
        QStringLiteral("上下五千年（上）"),
        QStringLiteral("上下五千年（中）"),
        QStringLiteral("上下五千年（下）"),
        QStringLiteral("史记故事"),
        QStringLiteral("中华成语故事"),
        QStringLiteral("三十六计故事"),
        QStringLiteral("二十四节气的故事"),
        QStringLiteral("中国传统节日故事"),
        QStringLiteral("丝绸之路的故事"),
        QStringLiteral("长城的故事"),
        QStringLiteral("故宫的故事"),
        QStringLiteral("四大发明的故事"),
        QStringLiteral("世界历史故事"),
        QStringLiteral("汉字的故事"),
        QStringLiteral("古代科学家的故事"),
    });
    return titles;
}

QList<Title> poetryTitles() {
    return plain({
        QStringLiteral("唐诗三百首"),
        QStringLiteral("宋词精选"),
        QStringLiteral("元曲选读"),
        QStringLiteral("三字经"),
        QStringLiteral("弟子规"),
        QStringLiteral("千字文"),
        QStringLiteral("百家姓"),
        QStringLiteral("笠翁对韵"),
        QStringLiteral("声律启蒙"),
        QStringLiteral("论语（少儿版）"),
        QStringLiteral("孟子故事"),
        QStringLiteral("庄子寓言"),
        QStringLiteral("诗经选读"),
        QStringLiteral("古诗七十首"),
        QStringLiteral("千家诗"),
        QStringLiteral("小古文一百课"),
        QStringLiteral("幼学琼林"),
        QStringLiteral("增广贤文"),
        QStringLiteral("楚辞选读"),
        QStringLiteral("乐府诗选"),
        QStringLiteral("古诗里的春夏秋冬"),
        QStringLiteral("给孩子的古诗词"),
        QStringLiteral("童谣三百首"),
        QStringLiteral("对联里的故事"),
        QStringLiteral("飞花令里的诗词"),
        QStringLiteral("儿童国学启蒙"),
        QStringLiteral("古文观止（少儿版）"),
        QStringLiteral("唐宋八大家散文选"),
    });
}

QList<Title> fableTitles() {
    return plain({
        QStringLiteral("伊索寓言"),
        QStringLiteral("克雷洛夫寓言"),
        QStringLiteral("拉封丹寓言"),
        QStringLiteral("中国寓言故事"),
        QStringLiteral("中国神话故事"),
        QStringLiteral("希腊神话故事"),
        QStringLiteral("北欧神话故事"),
        QStringLiteral("山海经（少儿版）"),
        QStringLiteral("一千零一夜"),
        QStringLiteral("列那狐的故事"),
        QStringLiteral("聊斋故事（少儿版）"),
        QStringLiteral("中国民间故事"),
        QStringLiteral("非洲民间故事"),
        QStringLiteral("欧洲民间故事"),
        QStringLiteral("日本民间故事"),
        QStringLiteral("印度寓言故事"),
        QStringLiteral("女娲补天"),
        QStringLiteral("后羿射日"),
        QStringLiteral("精卫填海"),
        QStringLiteral("夸父逐日"),
        QStringLiteral("大禹治水"),
        QStringLiteral("盘古开天地"),
        QStringLiteral("嫦娥奔月"),
        QStringLiteral("牛郎织女"),
        QStringLiteral("白蛇传"),
        QStringLiteral("神笔马良"),
        QStringLiteral("九色鹿"),
        QStringLiteral("宝莲灯"),
    });
}

QList<Title> natureTitles() {
    return plain({
        QStringLiteral("森林里的小鹿"), QStringLiteral("草原上的小马驹"),
        QStringLiteral("雪山上的雪豹"), QStringLiteral("竹林里的大熊猫"),
        QStringLiteral("北极熊的冬天"), QStringLiteral("企鹅爸爸孵蛋记"),
        QStringLiteral("小海龟回家"),   QStringLiteral("大象的长鼻子"),
        QStringLiteral("长颈鹿的烦恼"), QStringLiteral("狐狸一家的四季"),
        QStringLiteral("蚂蚁王国"),     QStringLiteral("蜜蜂的一天"),
        QStringLiteral("燕子飞回来了"), QStringLiteral("小蝌蚪变青蛙"),
        QStringLiteral("蝴蝶的秘密"),   QStringLiteral("野鸭湖的春天"),
        QStringLiteral("丹顶鹤的故乡"), QStringLiteral("藏羚羊的远行"),
        QStringLiteral("金丝猴的家"),   QStringLiteral("海豚湾的朋友"),
        QStringLiteral("鲸鱼的歌声"),   QStringLiteral("候鸟的旅行"),
        QStringLiteral("松鼠的冬粮"),   QStringLiteral("啄木鸟医生"),
        QStringLiteral("萤火虫的灯笼"), QStringLiteral("屎壳郎搬家"),
        QStringLiteral("西顿动物记"),   QStringLiteral("狼王洛波"),
    });
}

QList<Title> schoolTitles() {
    return plain({
        QStringLiteral("我的同桌是班长"), QStringLiteral("三年级二班的秘密"),
        QStringLiteral("爱笑的女孩"),     QStringLiteral("足球少年"),
        QStringLiteral("外婆家的夏天"),   QStringLiteral("风筝飞过小河"),
        QStringLiteral("我和爷爷的菜园"), QStringLiteral("会说话的日记本"),
        QStringLiteral("转学生小林"),     QStringLiteral("毕业那年的夏天"),
        QStringLiteral("班里来了新老师"), QStringLiteral("我的第一个好朋友"),
        QStringLiteral("小小值日生"),     QStringLiteral("不爱写作业的小豆子"),
        QStringLiteral("奔跑吧，少年"),   QStringLiteral("向着明亮的地方"),
        QStringLiteral("书包里的小秘密"), QStringLiteral("我们的读书角"),
        QStringLiteral("雨中的小伞"),     QStringLiteral("妈妈的生日礼物"),
        QStringLiteral("一起去春游"),     QStringLiteral("运动会上的冠军"),
        QStringLiteral("小队长的烦恼"),   QStringLiteral("我是小小图书管理员"),
        QStringLiteral("给未来的一封信"), QStringLiteral("教室窗外的梧桐树"),
        QStringLiteral("跳绳大王"),       QStringLiteral("种下一棵向日葵"),
        QStringLiteral("勇敢的心"),       QStringLiteral("胡同里的童年"),
        QStringLiteral("小镇上的少年"),   QStringLiteral("放学路上"),
        QStringLiteral("写给老师的信"),   QStringLiteral("我家的小书房"),
    });
}

// How a category's books are introduced: %1 the title, %2 the subject, %3 the extra word.
struct CategoryText {
    qint64 sortId;
    int lowestGrade;
    int highestGrade;
    QStringList openings;
    QStringList middles;
};

const QList<CategoryText> &categoryTexts() {
    static const QList<CategoryText> list = {
        {FairyTales,
         1,
         4,
         {QStringLiteral("《%1》是一部充满想象力的童话，带着孩子走进一个奇妙的世界。"),
          QStringLiteral("这是一本温暖动人的童话故事集，一代又一代的孩子都读过《%1》。"),
          QStringLiteral("《%1》讲述了一段奇妙的冒险，故事里有善良，也有勇气。")},
         {QStringLiteral("语言生动活泼，情节一波三折，读来让人爱不释手。"),
          QStringLiteral("书中的人物个个鲜活可爱，善良与友谊的力量贯穿始终。"),
          QStringLiteral("全书配有精美插图，帮助孩子在阅读中展开想象的翅膀。")}},
        {PictureBooks,
         1,
         2,
         {QStringLiteral("《%1》是一本温馨的图画书，画面明亮柔和，文字简短而有韵律。"),
          QStringLiteral("这本图画书用一个简单的小故事，陪孩子认识身边的世界。"),
          QStringLiteral("《%1》适合大声朗读，每一页都藏着可以慢慢发现的小细节。")},
         {QStringLiteral("故事贴近孩子的生活，读完可以聊一聊自己的经历。"),
          QStringLiteral("图文配合巧妙，刚开始识字的孩子也能自己读下来。"),
          QStringLiteral("书里的小主人公遇到了小小的难题，最后用自己的办法解决了它。")}},
        {Classics,
         3,
         6,
         {QStringLiteral("《%1》是深受世界各地读者喜爱的文学名著。"),
          QStringLiteral("《%1》是中小学生必读的经典作品之一，影响了一代又一代读者。"),
          QStringLiteral("这部经典作品以细腻的笔触描绘了丰富的人物和广阔的生活画卷。")},
         {QStringLiteral("本书根据原著精心编排，语言流畅，保留了原作最精彩的情节。"),
          QStringLiteral("书中附有人物介绍和阅读提示，帮助孩子读懂人物、体会情感。"),
          QStringLiteral("字词注释和精彩片段赏析，让孩子在阅读中积累语言、学会思考。")}},
        {Science,
         2,
         6,
         {QStringLiteral("《%1》用孩子听得懂的语言，讲述了关于%2的科学知识。"),
          QStringLiteral("关于%2，孩子们总有问不完的问题，《%1》一一给出了答案。"),
          QStringLiteral("《%1》带领小读者走进%2的奇妙天地，边读边探索。")},
         {QStringLiteral("全书图文并茂，配有大量实景照片和示意图，知识准确又有趣。"),
          QStringLiteral("每一章后面都有动手做的小实验，让孩子在玩中学科学。"),
          QStringLiteral("书中的知识由专业人士审读，适合孩子自主阅读和查阅。")}},
        {History,
         3,
         6,
         {QStringLiteral("《%1》用一个个生动的故事，带孩子走近中华五千年的历史。"),
          QStringLiteral("《%1》讲述了历史长河中令人难忘的人和事。"),
          QStringLiteral("读《%1》，在故事中认识历史，在历史中学会做人。")},
         {QStringLiteral("故事选材严谨，叙述通俗易懂，每篇后面附有小知识链接。"),
          QStringLiteral("书中配有地图和年代表，帮助孩子理清历史脉络。"),
          QStringLiteral("榜样的坚持与担当，会在孩子心里种下一颗向上的种子。")}},
        {Poetry,
         1,
         6,
         {QStringLiteral("《%1》精选了适合孩子诵读的经典篇章。"),
          QStringLiteral("《%1》是传统文化启蒙的好读本，朗朗上口，便于记诵。"),
          QStringLiteral("读《%1》，感受汉语的音韵之美和古人的智慧。")},
         {QStringLiteral("每篇配有拼音、注释和浅显的译文，孩子可以自己读懂。"),
          QStringLiteral("书中附有诵读指导，适合每天晨读一小段，日积月累。"),
          QStringLiteral("配有水墨风格的插图，让古老的文字变得亲切可感。")}},
        {Fables,
         2,
         5,
         {QStringLiteral("《%1》收录了流传久远的经典故事，短小精悍，寓意深刻。"),
          QStringLiteral("《%1》是世代相传的故事，讲述了关于勇气、智慧和善良的道理。"),
          QStringLiteral("这些故事在民间口耳相传，《%1》把它们讲给今天的孩子听。")},
         {QStringLiteral("每个故事后面都有一句点睛的话，帮助孩子理解其中的道理。"),
          QStringLiteral("语言简洁有趣，适合讲给孩子听，也适合孩子自己读。"),
          QStringLiteral("奇特的想象和鲜明的人物，让孩子在故事里认识世界。")}},
        {Nature,
         2,
         5,
         {QStringLiteral("《%1》用细腻的笔触，描写了大自然中动物们的生活。"),
          QStringLiteral("跟着《%1》走进大自然，观察动物们怎样觅食、安家、养育后代。"),
          QStringLiteral("《%1》是一部充满温情的自然故事，写尽了生命的顽强与美丽。")},
         {QStringLiteral("作者长期在野外观察记录，书中的细节真实可信。"),
          QStringLiteral("读完这本书，孩子会更加热爱自然，懂得保护身边的小生命。"),
          QStringLiteral("书后附有动物小档案，介绍它们的习性和分布。")}},
        {School,
         3,
         6,
         {QStringLiteral("《%1》讲述了发生在校园里的一个个温暖故事。"),
          QStringLiteral("《%1》是一部贴近孩子生活的成长小说，写出了友谊、烦恼和成长。"),
          QStringLiteral("读《%1》，孩子会在故事里遇见另一个自己。")},
         {QStringLiteral("故事幽默又感人，把成长路上的小小烦恼写得真切动人。"),
          QStringLiteral("书中的孩子们学会了理解、担当和坚持，也学会了好好告别。"),
          QStringLiteral("语言清新自然，适合孩子独立阅读，也适合全班共读交流。")}},
    };
    return list;
}

const CategoryText &textFor(qint64 sortId) {
    for (const CategoryText &text : categoryTexts()) {
        if (text.sortId == sortId)
            return text;
    }
    return categoryTexts().first();
}

QString introduction(const Title &title, qint64 sortId, int grade, QRandomGenerator &random) {
    const CategoryText &text = textFor(sortId);
    QString opening;
    if (sortId == FairyTales && !title.extra.isEmpty()) {
        opening = QStringLiteral("%1意外得到了一%2，从这一天起，森林里发生了许多奇妙的事。")
                      .arg(title.subject, title.extra);
    } else if (sortId == PictureBooks && !title.extra.isEmpty()) {
        opening = QStringLiteral("%1要%2啦！这是一本温馨的图画书，画面明亮柔和，文字简短而有韵律。")
                      .arg(title.subject, title.extra);
    } else {
        // Not arg(): an opening may use the title, the subject, or both.
        opening = text.openings.at(random.bounded(int(text.openings.size())));
        opening.replace(QStringLiteral("%2"), title.subject)
            .replace(QStringLiteral("%1"), title.name);
    }
    const QString middle = text.middles.at(random.bounded(int(text.middles.size())));
    const QString closing =
        random.bounded(2) == 0
            ? QStringLiteral("适合%1年级的小读者阅读，也适合亲子共读。").arg(gradeNumeral(grade))
            : QStringLiteral("推荐%1年级的同学阅读。").arg(gradeNumeral(grade));
    return opening + middle + closing;
}

QString isbnFor(const Press &press, int item) {
    const QString twelve = QStringLiteral("9787%1%2")
                               .arg(press.code, 4, 10, QChar(u'0'))
                               .arg(item, 4, 10, QChar(u'0'));
    return QStringLiteral("978-7-%1-%2-%3")
        .arg(press.code, 4, 10, QChar(u'0'))
        .arg(item, 4, 10, QChar(u'0'))
        .arg(isbn13CheckDigit(twelve));
}

// Times are stored as milliseconds since the epoch, like every other table of the service.
qint64 storedTime(const QDateTime &time) {
    return time.toMSecsSinceEpoch();
}

// A waking-hours moment on a day between from and to, to the second, never after to: children
// do not comment at four in the morning.
QDateTime between(const QDateTime &from, const QDateTime &to, QRandomGenerator &random) {
    const qint64 days = qMax<qint64>(0, from.date().daysTo(to.date()));
    const QDate day = from.date().addDays(random.bounded(int(days) + 1));
    QDateTime moment(day, QTime(7, 0).addSecs(random.bounded(15 * 3600)));
    if (moment > to)
        moment = to.addSecs(-random.bounded(3600));
    return moment < from ? from : moment;
}

struct Person {
    qint64 id = 0;
    int type = 0; // 1 teacher, 2 pupil
    QString userName;
};

const QStringList &pupilComments() {
    static const QStringList list = {
        QStringLiteral("《%1》太好看了，我一口气就读完了！"),
        QStringLiteral("我最喜欢这本书的结尾，读完还想再读一遍。"),
        QStringLiteral("读了《%1》，我明白了做人要诚实，也要勇敢。"),
        QStringLiteral("里面的插图好漂亮，我照着画了一张。"),
        QStringLiteral("这本书是妈妈陪我一起读的，我们读得很开心。"),
        QStringLiteral("有几个字不认识，查了字典才读懂，收获很大。"),
        QStringLiteral("推荐给同桌了，她也说好看！"),
        QStringLiteral("故事很感人，读到一半我差点哭了。"),
        QStringLiteral("读完以后我写了一篇读后感，得了一朵小红花。"),
        QStringLiteral("我觉得主人公特别勇敢，我也要像他一样。"),
        QStringLiteral("第二遍读的时候，发现了好多第一次没注意到的细节。"),
        QStringLiteral("这本书让我知道了很多以前不知道的知识。"),
        QStringLiteral("希望能出续集，我还想知道后来发生了什么。"),
        QStringLiteral("每天睡觉前读一章，今天终于读完啦！"),
        QStringLiteral("老师推荐的书果然好看，谢谢老师！"),
        QStringLiteral("书里有好多好词好句，我都抄在摘抄本上了。"),
        QStringLiteral("开头有点慢，不过越往后越精彩。"),
        QStringLiteral("我和爸爸比赛谁先读完《%1》，结果我赢了！"),
        QStringLiteral("读《%1》的时候，我好像也跟着去了一趟奇妙的旅行。"),
        QStringLiteral("故事里的朋友们互相帮助，我很喜欢。"),
    };
    return list;
}

const QStringList &teacherComments() {
    static const QStringList list = {
        QStringLiteral("推荐同学们读一读《%1》，读完后写写自己的感受。"),
        QStringLiteral("这本书适合全班共读，下周的读书会我们就来交流它。"),
        QStringLiteral("语言优美，情节生动，是一本值得反复阅读的好书。"),
        QStringLiteral("建议家长陪孩子一起读，边读边聊。"),
        QStringLiteral("读的时候可以把喜欢的句子摘抄下来，积累好词好句。"),
        QStringLiteral("同学们读完可以画一张思维导图，梳理故事情节。"),
        QStringLiteral("我们班已经有二十多位同学读完了《%1》，大家都很喜欢。"),
        QStringLiteral("读书贵在坚持，每天读二十分钟，养成好习惯。"),
    };
    return list;
}

QString commentText(const QStringList &pool, const QString &title, QRandomGenerator &random) {
    QString text = pool.at(random.bounded(int(pool.size())));
    return text.contains(QStringLiteral("%1")) ? text.arg(title) : text;
}

} // namespace

QList<Category> categories() {
    return {
        {FairyTales, QStringLiteral("童话故事")}, {PictureBooks, QStringLiteral("图画书")},
        {Classics, QStringLiteral("经典名著")},   {Science, QStringLiteral("科普百科")},
        {History, QStringLiteral("历史故事")},    {Poetry, QStringLiteral("诗词国学")},
        {Fables, QStringLiteral("寓言神话")},     {Nature, QStringLiteral("动物自然")},
        {School, QStringLiteral("校园成长")},
    };
}

int isbn13CheckDigit(const QString &firstTwelve) {
    int sum = 0;
    int count = 0;
    for (const QChar c : firstTwelve) {
        if (c < u'0' || c > u'9')
            continue;
        sum += (c.unicode() - u'0') * (count % 2 == 0 ? 1 : 3);
        ++count;
    }
    if (count != 12)
        return -1;
    return (10 - sum % 10) % 10;
}

QList<Book> books() {
    QRandomGenerator random(CatalogueSeed);
    const QList<QPair<qint64, QList<Title>>> groups = {
        {FairyTales, fairyTaleTitles()}, {PictureBooks, pictureBookTitles()},
        {Classics, classicTitles()},     {Science, scienceTitles()},
        {History, historyTitles()},      {Poetry, poetryTitles()},
        {Fables, fableTitles()},         {Nature, natureTitles()},
        {School, schoolTitles()},
    };

    QList<Book> list;
    QSet<QString> seen;
    QHash<int, int> nextItem; // per publisher code
    for (const auto &[sortId, titles] : groups) {
        const CategoryText &text = textFor(sortId);
        for (const Title &title : titles) {
            if (seen.contains(title.name)) {
                qCWarning(lcBookDemo) << "duplicate demo title skipped:" << title.name;
                continue;
            }
            seen.insert(title.name);
            Book book;
            book.name = title.name;
            book.sortId = sortId;
            book.gradeId =
                text.lowestGrade + random.bounded(text.highestGrade - text.lowestGrade + 1);
            const Press &press = presses().at(random.bounded(int(presses().size())));
            book.press = press.name;
            int &item = nextItem[press.code];
            item = item == 0 ? 1000 + random.bounded(500) : item + 1 + random.bounded(40);
            book.isbn = isbnFor(press, item);
            book.introduce = introduction(title, sortId, book.gradeId, random);
            // A few books are much loved, most modestly: square a uniform draw.
            const double r = random.generateDouble();
            book.appeal = 0.05 + 0.9 * r * r;
            book.flowers = qint64(std::lround(book.appeal * 160.0)) + random.bounded(6);
            // Books join in batches, each batch on one morning, so several share a date.
            book.ageDays = 7 + 14 * random.bounded(60);
            list.append(book);
        }
    }
    // Mix the categories so ids do not run category by category.
    for (qsizetype i = list.size() - 1; i > 0; --i)
        list.swapItemsAt(i, random.bounded(int(i + 1)));
    return list;
}

void seed(const QSqlDatabase &db, const QDateTime &now) {
    QSqlQuery insertCategory = ServiceDatabase::prepare(
        db, QStringLiteral("INSERT INTO book_categories(id, name, position) VALUES (?, ?, ?)"));
    int position = 0;
    for (const Category &category : categories())
        ServiceDatabase::exec(insertCategory, {category.id, category.name, position++});

    const QList<Book> catalogue = books();
    QList<QDateTime> added;
    QSqlQuery insertBook = ServiceDatabase::prepare(
        db, QStringLiteral("INSERT INTO books(id, name, grade_id, sort_id, flower_count, press, "
                           "isbn, introduce, created_at) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (qsizetype i = 0; i < catalogue.size(); ++i) {
        const Book &book = catalogue.at(i);
        const QDateTime when(now.date().addDays(-book.ageDays), QTime(9, 0));
        added.append(when);
        ServiceDatabase::exec(insertBook,
                              {qint64(i + 1), book.name, book.gradeId, book.sortId, book.flowers,
                               book.press, book.isbn, book.introduce, storedTime(when)});
    }

    QList<Person> people;
    QSqlQuery users = ServiceDatabase::run(
        db, QStringLiteral("SELECT id, user_type, user_name FROM users WHERE user_type IN (1, 2) "
                           "ORDER BY id"));
    while (users.next())
        people.append(
            {users.value(0).toLongLong(), users.value(1).toInt(), users.value(2).toString()});
    if (people.isEmpty()) {
        qCInfo(lcBookDemo) << "no users yet: the catalogue is seeded without comments or likes";
        return;
    }

    QRandomGenerator random(ActivitySeed);
    QSqlQuery insertLike = ServiceDatabase::prepare(
        db, QStringLiteral("INSERT OR IGNORE INTO book_likes(user_id, book_id, created_at) "
                           "VALUES (?, ?, ?)"));
    QSqlQuery insertComment = ServiceDatabase::prepare(
        db, QStringLiteral("INSERT INTO book_comments(book_id, user_id, content, created_at) "
                           "VALUES (?, ?, ?, ?)"));
    QSqlQuery insertCollect = ServiceDatabase::prepare(
        db, QStringLiteral("INSERT OR IGNORE INTO book_collections(user_id, book_id, created_at) "
                           "VALUES (?, ?, ?)"));

    QList<Person> pupils;
    for (const Person &person : people) {
        if (person.type == 2)
            pupils.append(person);
    }

    // Comments are written in time order, so their ids grow with their dates as they would in
    // use.
    struct PendingComment {
        QDateTime when;
        qint64 bookId;
        qint64 userId;
        QString text;
    };
    QList<PendingComment> comments;

    for (qsizetype i = 0; i < catalogue.size(); ++i) {
        const Book &book = catalogue.at(i);
        const qint64 bookId = i + 1;
        // A number of likes that follows the book's appeal, from people drawn at random: the
        // demo region has well over a thousand pupils, and asking each of them about every book
        // would make seeding slow for nothing.
        const int likes = int(std::lround(book.appeal * 40.0)) + random.bounded(3);
        for (int l = 0; l < likes; ++l) {
            const Person &person = people.at(random.bounded(int(people.size())));
            ServiceDatabase::exec(
                insertLike, {person.id, bookId, storedTime(between(added.at(i), now, random))});
        }
        const int commentCount = int(random.bounded(int(book.appeal * 12.0) + 3));
        for (int c = 0; c < commentCount; ++c) {
            const bool byPupil = !pupils.isEmpty() && random.bounded(8) != 0;
            const Person &author = byPupil ? pupils.at(random.bounded(int(pupils.size())))
                                           : people.at(random.bounded(int(people.size())));
            const QStringList &pool = author.type == 1 ? teacherComments() : pupilComments();
            comments.append({between(added.at(i), now, random), bookId, author.id,
                             commentText(pool, book.name, random)});
        }
    }

    // Pupils collect a few books each, the appealing ones more often.
    for (const Person &pupil : pupils) {
        const int wanted = 1 + random.bounded(3);
        for (int attempts = 0, taken = 0; taken < wanted && attempts < 200; ++attempts) {
            const int index = random.bounded(int(catalogue.size()));
            if (random.generateDouble() > catalogue.at(index).appeal + 0.15)
                continue;
            ServiceDatabase::exec(
                insertCollect,
                {pupil.id, qint64(index + 1), storedTime(between(added.at(index), now, random))});
            ++taken;
        }
    }

    // The demo teacher has a shelf of favourites and has commented on some of them.
    for (const Person &person : people) {
        if (person.userName != DemoTeacherUserName)
            continue;
        for (int k = 0; k < 6; ++k) {
            const qint64 bookId = 1 + (k * 53 + 11) % catalogue.size();
            ServiceDatabase::exec(insertCollect,
                                  {person.id, bookId, storedTime(now.addDays(-3 * (k + 1)))});
            if (k % 2 == 0) {
                comments.append(
                    {now.addDays(-3 * (k + 1)).addSecs(3600), bookId, person.id,
                     commentText(teacherComments(), catalogue.at(bookId - 1).name, random)});
            }
        }
    }

    std::stable_sort(
        comments.begin(), comments.end(),
        [](const PendingComment &a, const PendingComment &b) { return a.when < b.when; });
    for (const PendingComment &comment : comments)
        ServiceDatabase::exec(insertComment, {comment.bookId, comment.userId, comment.text,
                                              storedTime(comment.when)});
}

} // namespace BookDemoData
