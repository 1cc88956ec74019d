// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes to the car settings reader as a ".settings" file of the car
// settings library. Anything shorter than a record is refused; a record read from the
// file must equal the one decoded from memory, write out to the same image it decodes
// from again, and give car texts and folder names that stay inside the library.
#include <cstddef>
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "link/device_info.h"
#include "settings/car_info.h"
#include "settings/car_texts.h"

namespace {

using fuzz::check;

const std::string& fileName() {
    static const std::string name = fuzz::scratchPath("car-settings-fuzz");
    return name;
}

void namesStayInTheLibrary(const device_info_t& info) {
    const car_texts_t car = car_texts_t::fromRecord(info);
    const std::string folder = CCarInfo::carFolderName(car.make, car.model, car.capacity);
    check(folder.find('/') == std::string::npos && folder != "." && folder != "..");
    const std::string safe = CCarInfo::safeName(car.make);
    check(safe.find('/') == std::string::npos && safe != "." && safe != "..");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::writeWhole(fileName(), data, size);
    device_info_t fromFile;
    const bool read = CCarInfo::readCarSettingsFile(fileName(), fromFile);
    check(read == (size >= device_info_t::kSize));
    if (!read) {
        return 0;
    }
    device_info_t fromMemory;
    fromMemory.fromBytes(data);
    const auto image = fromMemory.toBytes();
    check(fromFile.toBytes() == image);

    device_info_t again;
    again.fromBytes(image.data());
    check(again.toBytes() == image);
    namesStayInTheLibrary(fromMemory);
    return 0;
}
