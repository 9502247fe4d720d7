#pragma once

// The book catalogue of the development service: books and their categories, comments, likes
// and collections, and the cover images.

#include "ServiceModule.h"
#include "records/ContentRecords.h"

#include <memory>

class BookModule : public ServiceModule {
public:
    QString name() const override;
    void migrate(QSqlDatabase &db) override;
    void seed(ServiceContext &context) override;
    void registerFiles(FileRegistry &registry) override;

    // Where the cover of a book is served.
    static QString coverUrl(const ServiceContext &context, qint64 bookId);
    // The rows of a query that selects book id, name and flowers, as a pupil's list of books.
    static RecordArray<StudentBookListModel> pupilBooks(const ServiceContext &context,
                                                        QSqlQuery &rows);

    // A comment longer than this (in UTF-16 units, as the client counts) is refused.
    static constexpr qsizetype MaximumCommentLength = 140;
    // A search text longer than this is refused: no title is nearly that long.
    static constexpr qsizetype MaximumSearchLength = 50;
    // Recommendation lists are cut to this length.
    static constexpr qint64 MaximumRecommendations = 30;
};

std::unique_ptr<ServiceModule> makeBookModule();
