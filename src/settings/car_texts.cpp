#include "settings/car_texts.h"

#include "link/device_info.h"
#include "settings/cp1250.h"

car_texts_t car_texts_t::fromRecord(const device_info_t& info) {
    return {cp1250ToUtf8(info.make),         cp1250ToUtf8(info.model),
            cp1250ToUtf8(info.capacity),     cp1250ToUtf8(info.power),
            cp1250ToUtf8(info.year),         cp1250ToUtf8(info.injectorsFitted),
            cp1250ToUtf8(info.calibratedFor)};
}

void car_texts_t::toRecord(device_info_t& info) const {
    info.make = utf8ToCp1250(make);
    info.model = utf8ToCp1250(model);
    info.capacity = utf8ToCp1250(capacity);
    info.power = utf8ToCp1250(power);
    info.year = utf8ToCp1250(year);
    info.injectorsFitted = utf8ToCp1250(injectorsFitted);
    info.calibratedFor = utf8ToCp1250(calibratedFor);
}
