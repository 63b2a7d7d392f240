#include "core/vehicle_list.h"

namespace tolvaren {
namespace {

// Applied in this order; no position can start two of them and neither prefix
// occurs inside a key, so order and overlap cannot change the result.
const Text kSwitchedKeys[] = {"logo=", "Logo=",  "sub=",    "Sub=",
                              "[Team", "[KTM",   "[Yamaha", "[Suzuki"};
const Text kCommentPrefix = ";";
const Text kBlankPrefix = " ";

}  // namespace

std::int32_t StateOfVehicleList(const Text& vehicleList) {
    return FindText(vehicleList, kStateMarker) != 0 ? 0 : 1;
}

Text SwitchVehicleKeys(const Text& vehicleList, std::int32_t requestedState) {
    const Text& oldPrefix = requestedState != 0 ? kCommentPrefix : kBlankPrefix;
    const Text& newPrefix = requestedState != 0 ? kBlankPrefix : kCommentPrefix;
    Text result = vehicleList;
    for (const Text& key : kSwitchedKeys)
        result = ReplaceAll(result, oldPrefix + key, newPrefix + key);
    return result;
}

}  // namespace tolvaren
