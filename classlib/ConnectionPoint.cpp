#include "classlib/ConnectionPoint.h"

#include <olectl.h>

namespace ql {

HRESULT ConnectionPoint::GetConnectionInterface(IID* out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = iid_;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    QL_RETURN_HR_IF(E_UNEXPECTED, !container_);
    container_->AddRef();
    *out = container_;
    return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) noexcept {
    QL_RETURN_IF_NULL_OUT(cookie);
    *cookie = 0;
    QL_RETURN_HR_IF(E_POINTER, !sink);
    ComPtr<IUnknown> typed;
    if (FAILED(sink->QueryInterface(iid_, typed.PutVoid()))) return CONNECT_E_CANNOTCONNECT;
    return GuardComCall([&] {
        sinks_.emplace_back(nextCookie_, std::move(typed));
        *cookie = nextCookie_++;
        return S_OK;
    });
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) noexcept {
    for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
        if (it->first != cookie) continue;
        ComPtr<IUnknown> released = std::move(it->second);  // the sink may call back while it goes
        sinks_.erase(it);
        return S_OK;
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return E_NOTIMPL;
}

void ConnectionPoint::InvokeEach(DISPID id, DISPPARAMS* arguments) noexcept {
    DISPPARAMS none{};
    ForEachSink<IDispatch>([&](IDispatch* sink) {
        // An event is a notice: a sink that fails it does not keep it from the other sinks, and the source
        // has no use for its answer.
        (void)sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, arguments ? arguments : &none,
                           nullptr, nullptr, nullptr);
    });
}

ConnectionPointContainer::~ConnectionPointContainer() {
    for (auto& point : points_) point->ForgetContainer();
}

HRESULT ConnectionPointContainer::AddConnectionPoint(REFIID iid) noexcept {
    ComPtr<ConnectionPoint> point;
    QL_RETURN_IF_FAILED(MakeObject(point, static_cast<IConnectionPointContainer*>(this), iid));
    return GuardComCall([&] {
        points_.push_back(std::move(point));
        return S_OK;
    });
}

ConnectionPoint* ConnectionPointContainer::FindPoint(REFIID iid) const noexcept {
    for (const auto& point : points_)
        if (IsEqualIID(point->Iid(), iid)) return point.Get();
    return nullptr;
}

HRESULT ConnectionPointContainer::EnumConnectionPoints(IEnumConnectionPoints** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    return E_NOTIMPL;
}

HRESULT ConnectionPointContainer::FindConnectionPoint(REFIID iid, IConnectionPoint** out) noexcept {
    QL_RETURN_IF_NULL_OUT(out);
    *out = nullptr;
    ConnectionPoint* point = FindPoint(iid);
    if (!point) return CONNECT_E_NOCONNECTION;
    point->AddRef();
    *out = point;
    return S_OK;
}

}  // namespace ql
