#pragma once

#include "KeyValueMapping.h"

// Base of every request record. No fields.
struct BaseReq {
    static const RecordType &recordType();
};

// Base of every response record: the answer envelope.
struct BaseRsp {
    std::optional<QString> msg;
    qint64 result = 0;

    static const RecordType &recordType();
};
