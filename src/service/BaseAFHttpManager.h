#pragma once

#include "ParameterValue.h"
#include "ServiceTypes.h"

#include <QByteArray>
#include <QString>

#include <optional>

// One HTTP POST per call, form-encoded, JSON answer. Stateless for its callers: it returns at
// once and later calls exactly one of the two callbacks, once, on the main thread.
class BaseAFHttpManager {
public:
    static void postRequestOperationForHost(const QString &host, const std::optional<QString> &param,
                                            const std::optional<ParameterDictionary> &parameters,
                                            ServiceCompletion completion, ServiceFailure failure);

    // host followed directly by the path, with characters that may not stand in a URL escaped.
    static QString p_getURLWithParameters(const std::optional<QString> &param, const QString &host);

    // The request body: pairs in key code-point order, escaped, joined with '&'.
    static QByteArray formEncode(const ParameterDictionary &parameters);
    // The parameters as the debug log writes them, password values masked.
    static QString loggableParameters(const ParameterDictionary &parameters);
};
