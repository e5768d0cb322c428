#include "conversion/FailureMapping.h"

#include <new>

namespace kelvarin {

RuntimeError asRuntimeError(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const RuntimeError& e) {
        return e;
    } catch (const std::bad_alloc&) {
        return RuntimeError(7, "Out of memory");
    } catch (const std::exception& e) {
        return RuntimeError(kErrPathFileAccess, e.what());
    } catch (...) {
        return RuntimeError(kErrPathFileAccess);
    }
}

std::string runtimeErrorText(const RuntimeError& error) {
    if (error.number() == kErrPermissionDenied)
        return "   Database already running    \r\n   Please close database  ";
    return "Error No: " + std::to_string(error.number()) + "     " + error.description();
}

} // namespace kelvarin
