#include "BaseAFHttpManager.h"
#include "KeyValueMapping.h"
#include "records/ContentRecords.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// A book list answer as the service gives it: every field present, the texts in Chinese, some
// numbers sent as texts.
QByteArray bookListAnswer(int books) {
    QJsonArray list;
    for (int i = 0; i < books; ++i) {
        list.append(QJsonObject{
            {"BookId", 100000 + i},
            {"BookName", QStringLiteral("\u5c0f\u738b\u5b50 %1").arg(i)},
            {"ImageUrl", QStringLiteral("http://img.example.invalid/cover/%1.jpg").arg(i)},
            {"Flower", i % 3 == 0 ? QJsonValue(QString::number(i % 6)) : QJsonValue(i % 6)},
            {"Author", QStringLiteral("\u5723\u57c3\u514b\u82cf\u4f69\u91cc")},
        });
    }
    const QJsonObject answer{{"result", 1}, {"msg", ""}, {"totalCount", books}, {"bookList", list}};
    return QJsonDocument(answer).toJson(QJsonDocument::Compact);
}

const QByteArray &answerBytes() {
    static const QByteArray bytes = bookListAnswer(2000);
    return bytes;
}

ParameterDictionary fiftyFields() {
    ParameterDictionary dict;
    for (int i = 0; i < 50; ++i) {
        const QString key = QStringLiteral("field%1").arg(49 - i, 2, 10, QLatin1Char('0'));
        if (i % 3 == 0)
            dict.insert(key, qint64(i) * 1234567);
        else if (i % 3 == 1)
            dict.insert(key, QStringLiteral("\u597d\u4e66 & more=%1").arg(i));
        else
            dict.insert(key, QStringLiteral("plain-text_%1").arg(i));
    }
    return dict;
}

void BM_ParseBookList(benchmark::State &state) {
    const QByteArray &bytes = answerBytes();
    for (auto _ : state) {
        QJsonDocument doc = QJsonDocument::fromJson(bytes);
        benchmark::DoNotOptimize(doc);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}
BENCHMARK(BM_ParseBookList)->Unit(benchmark::kMicrosecond);

void BM_MapBookList(benchmark::State &state) {
    const QJsonValue value = QJsonDocument::fromJson(answerBytes()).object();
    for (auto _ : state) {
        auto rsp = KeyValueMapping::objectWithKeyValues<GetBookListRsp>(value);
        benchmark::DoNotOptimize(rsp);
    }
}
BENCHMARK(BM_MapBookList)->Unit(benchmark::kMicrosecond);

void BM_FormEncodeFiftyFields(benchmark::State &state) {
    const ParameterDictionary dict = fiftyFields();
    for (auto _ : state) {
        QByteArray body = BaseAFHttpManager::formEncode(dict);
        benchmark::DoNotOptimize(body);
    }
}
BENCHMARK(BM_FormEncodeFiftyFields)->Unit(benchmark::kMicrosecond);

// Median of a few timed batches, so the ratio line is steady from run to run.
template <class F> double medianMicros(F &&f, int batches = 15, int perBatch = 10) {
    std::vector<double> times;
    for (int b = 0; b < batches; ++b) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < perBatch; ++i)
            f();
        const auto end = std::chrono::steady_clock::now();
        times.push_back(std::chrono::duration<double, std::micro>(end - start).count() / perBatch);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();

    const QByteArray &bytes = answerBytes();
    const QJsonValue value = QJsonDocument::fromJson(bytes).object();
    const double parse = medianMicros([&] {
        QJsonDocument doc = QJsonDocument::fromJson(bytes);
        benchmark::DoNotOptimize(doc);
    });
    const double map = medianMicros([&] {
        auto rsp = KeyValueMapping::objectWithKeyValues<GetBookListRsp>(value);
        benchmark::DoNotOptimize(rsp);
    });
    std::printf(
        "2000 books, %lld bytes, CPU time: parse %.0f us, mapping %.0f us, mapping/parse %.2fx\n",
        static_cast<long long>(bytes.size()), parse, map, map / parse);
    return 0;
}
