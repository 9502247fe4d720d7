#include "BaseRecords.h"

const RecordType &BaseReq::recordType() {
    static const RecordType type = RecordTypeBuilder<BaseReq>("BaseReq").build();
    return type;
}

const RecordType &BaseRsp::recordType() {
    static const RecordType type = RecordTypeBuilder<BaseRsp>("BaseRsp")
                                       .field<&BaseRsp::msg>("msg")
                                       .field<&BaseRsp::result>("result")
                                       .build();
    return type;
}
