#pragma once

// The development service's answer to every operation of the catalogue, declared from the
// catalogue's own list: ServiceHandlers::GetFeelList answers Operation::GetFeelList. Each module
// defines the handlers of its operations; one the list names and no module defines does not
// link, and a definition under a name the list does not have does not compile.

#include "ServiceModule.h"
#include "ServiceOperations.h"

using ServiceHandler = ServiceAnswer (*)(ServiceContext &context, const FormFields &fields);

namespace ServiceHandlers {
#define TEACHER_DECLARE_HANDLER(name, path, Req, Rsp, offline) extern const ServiceHandler name;
TEACHER_SERVICE_OPERATIONS(TEACHER_DECLARE_HANDLER)
#undef TEACHER_DECLARE_HANDLER
} // namespace ServiceHandlers
