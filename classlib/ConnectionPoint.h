#pragma once
// Connection points for the objects that fire events.
//
// ConnectionPoint: one outgoing interface of a container object: sinks advise and unadvise by cookie, and
// the container fires through ForEachSink (or InvokeEach for a dispatch interface).
// ConnectionPointContainer: the IConnectionPointContainer part of an object; the object adds its points
// in FinalConstruct and chains the part's table:
//
//   class CFoo : public ql::ComObjectBase<CFoo>, public IFoo, public ql::ConnectionPointContainer {
//       QL_INTERFACE_TABLE(CFoo, QL_ENTRY(IFoo), QL_ENTRY_CHAIN(ql::ConnectionPointContainer))
//   public:
//       HRESULT FinalConstruct() noexcept { return AddConnectionPoint(DIID__IFooEvents); }
//   };
//
// Ownership: the container owns its points; a point knows its container without a reference (no cycle)
// and forgets it when the container goes, after which GetConnectionPointContainer answers E_UNEXPECTED.
// The enumerations (EnumConnections, EnumConnectionPoints) are not offered (E_NOTIMPL, which their
// contract allows).
#include <ocidl.h>
#include <windows.h>

#include <utility>
#include <vector>

#include "classlib/ComObject.h"
#include "classlib/ComPtr.h"

namespace ql {

class ConnectionPoint final : public ComObjectBase<ConnectionPoint>, public IConnectionPoint {
    QL_INTERFACE_TABLE(ConnectionPoint, QL_ENTRY(IConnectionPoint))

public:
    ConnectionPoint(IConnectionPointContainer* container, REFIID iid) noexcept
        : container_(container), iid_(iid) {}

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* out) noexcept override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) noexcept override;
    // The sink must answer the point's interface (else CONNECT_E_CANNOTCONNECT); the point holds that
    // pointer.
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) noexcept override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) noexcept override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) noexcept override;

    const IID& Iid() const noexcept { return iid_; }
    size_t SinkCount() const noexcept { return sinks_.size(); }
    void ForgetContainer() noexcept { container_ = nullptr; }

    // Calls `fire(I*)` for each sink advised when the call starts (a sink may unadvise from inside).
    template <class I, class Fire>
    void ForEachSink(Fire&& fire) {
        std::vector<ComPtr<IUnknown>> snapshot;
        for (const auto& sink : sinks_) snapshot.push_back(sink.second);
        for (const auto& sink : snapshot) fire(static_cast<I*>(sink.Get()));
    }
    // Invokes `id` on every sink of a dispatch interface; the sinks' answers are not collected.
    void InvokeEach(DISPID id, DISPPARAMS* arguments) noexcept;

private:
    IConnectionPointContainer* container_;  // not owned: the container owns this point
    IID iid_;
    DWORD nextCookie_ = 1;
    std::vector<std::pair<DWORD, ComPtr<IUnknown>>> sinks_;
};

class ConnectionPointContainer : public IConnectionPointContainer {
    QL_INTERFACE_PART_TABLE(ConnectionPointContainer, QL_ENTRY(IConnectionPointContainer))

public:
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) noexcept override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) noexcept override;

    // The point of `iid`; null when the object has none. Borrowed.
    ConnectionPoint* FindPoint(REFIID iid) const noexcept;

protected:
    ConnectionPointContainer() noexcept = default;
    virtual ~ConnectionPointContainer();

    HRESULT AddConnectionPoint(REFIID iid) noexcept;

private:
    std::vector<ComPtr<ConnectionPoint>> points_;
};

}  // namespace ql
