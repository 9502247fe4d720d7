#include "BaseAFHttpManager.h"
// Placeholder until the transport lands.
void BaseAFHttpManager::postRequestOperationForHost(const QString &, const std::optional<QString> &,
                                            const std::optional<ParameterDictionary> &,
                                            ServiceCompletion, ServiceFailure) {}
