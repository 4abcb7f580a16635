// Persistence by property map: a control's persisted properties are named and ordered in a
// table, and each is saved and loaded as its variant value through the control's dispatch
// interface. The extent comes first, as "_cx" and "_cy" (HIMETRIC, 32-bit unsigned).
//
// Stream layout (little-endian): format version (u32, 1), width and height (u32 each), the
// number of properties that follow (u32), then each property's variant in map order
// (StreamVariant.h). A stream with fewer properties than the map leaves the rest at their
// defaults; one with more (written by a later version) has the extra ones skipped.
#pragma once

#include <ocidl.h>

#include <cstddef>

namespace zelmor::com {

struct PropertyMapEntry {
    const wchar_t* name;
    DISPID dispid;
};

struct PropertyMap {
    const PropertyMapEntry* entries;
    size_t count;

    const PropertyMapEntry* begin() const { return entries; }
    const PropertyMapEntry* end() const { return entries + count; }
};

template <size_t N>
constexpr PropertyMap MakePropertyMap(const PropertyMapEntry (&entries)[N]) {
    return PropertyMap{entries, N};
}

// A property's current value (property get); the variant is cleared first. With `index`, one
// element of an indexed property (List(3)).
HRESULT GetDispatchProperty(IDispatch* object, DISPID dispid, VARIANT* value,
                            VARIANT* index = nullptr);
// Sets a property (property put) to value. A failure is the property's own error, not the
// dispatch layer's exception that carries it.
HRESULT PutDispatchProperty(IDispatch* object, DISPID dispid, VARIANT* value,
                            VARIANT* index = nullptr);

HRESULT SavePropertiesToStream(IDispatch* object, const PropertyMap& map, const SIZEL& extent,
                               IStream* stream);
// Properties that cannot be set keep their values; a damaged stream fails the load.
HRESULT LoadPropertiesFromStream(IDispatch* object, const PropertyMap& map, SIZEL& extent,
                                 IStream* stream);

HRESULT SavePropertiesToBag(IDispatch* object, const PropertyMap& map, const SIZEL& extent,
                            IPropertyBag* bag);
// Properties missing from the bag, or that cannot be set, keep their values; those that
// cannot be set are reported to the error log when there is one.
HRESULT LoadPropertiesFromBag(IDispatch* object, const PropertyMap& map, SIZEL& extent,
                              IPropertyBag* bag, IErrorLog* log);

}  // namespace zelmor::com
