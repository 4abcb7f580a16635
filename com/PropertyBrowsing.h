// What a property browser (a form designer's property list) learns beyond the type library:
// for properties that are plain numbers in the type library but take a fixed set of values,
// the names of those values; and for the properties that are best edited on the control's own
// property page, which page that is. A control class describes this in one small table; the
// control base answers IPerPropertyBrowsing from it.
#pragma once

#include <ocidl.h>

#include <cstddef>

namespace zelmor::com {

// One value of a property with a fixed set of values, and the name the browser shows for it.
struct PredefinedValue {
    long value;
    const wchar_t* name;
};

// A property with a fixed set of values.
struct PredefinedProperty {
    DISPID dispid;
    const PredefinedValue* values;
    size_t count;
};

template <size_t N>
constexpr PredefinedProperty MakePredefinedProperty(DISPID dispid,
                                                    const PredefinedValue (&values)[N]) {
    return PredefinedProperty{dispid, values, N};
}

struct PropertyBrowsing {
    const PredefinedProperty* predefined;  // properties with named values
    size_t predefinedCount;
    const CLSID* page;                     // the control's own page for the properties below
    const DISPID* pageProperties;
    size_t pagePropertyCount;
};

// The values of the stock Appearance: flat or three-dimensional. A control whose property map
// holds Appearance offers them without naming them in its own table.
extern const PredefinedProperty kAppearanceValues;

// The predefined values of dispid in browsing (or the stock Appearance when the control has it),
// or null.
const PredefinedProperty* FindPredefined(const PropertyBrowsing* browsing, bool hasAppearance,
                                         DISPID dispid);
// The text a browser shows for a value: "1 - 3D" for a named value, null when value names none.
const PredefinedValue* FindValue(const PredefinedProperty& property, long value);
// Whether dispid is one of the properties edited on the control's own page.
bool OnOwnPage(const PropertyBrowsing* browsing, DISPID dispid);

}  // namespace zelmor::com
