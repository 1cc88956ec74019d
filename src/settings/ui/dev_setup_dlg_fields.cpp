// SPDX-License-Identifier: GPL-3.0-or-later
// The settings editor's controls and the record: showing, reading back, marking.
#include <limits>
#include <vector>

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>

#include "app/device_doc.h"
#include "settings/cp1250.h"
#include "settings/ui/dev_setup_dlg.h"
#include "settings/ui/dev_setup_fields.h"
#include "widgets/number_text.h"

namespace {

using Kind = setup_field_t::Kind;

struct shown_t {
    const char* field;  // its name in the record's field table
    const char* label;
    const char* suffix;
    const char* name;
};

constexpr const char* kRevolutions = "obrotach";

// In the order of CDevSetupDlg::Field.
constexpr shown_t kShown[CDevSetupDlg::FIELDS] = {
    {"switchRpm", "Obroty automatycznego przejścia na LPG", "",
     "Obroty automatycznego przejścia na LPG"},
    {"switchTemperature", "Temperatura automatycznego przejścia na LPG", "",
     "Temperatura automatycznego przejścia na LPG"},
    {"maxInternalTemperature", "Maksymalna temperatura wewnętrzna", "",
     "Maksymalna temperatura wewnętrzna"},
    {"gasolinePressure", "Ciśnienie przełączenia na benzynę [kPa] ", "",
     "Ciśnienie przełączenia na benzynę [kPa]"},
    {"rpmThresholdVoltage", "Napięcie progowe dla sygnału obrotów [V]", "",
     "Napięcie progowe dla sygnału obrotów [V]"},
    {"ignitionPulses", "Ilość zapłonów na cykl", "", "Ilość zapłonów na cykl"},
    {"minSupplyVoltage", "Minimalne napięcie zasilania [V]", "",
     "Minimalne napięcie zasilania [V]"},
    {"emulatorDelay", "Opóźnienie włączenia emulatora [s]", "",
     "Opóźnienie włączenia emulatora [s]"},
    {"timeAveraging", "Uśrednianie wtrysku benz. po", kRevolutions,
     "Uśrednianie wtrysku benz. po … obrotach"},
    {"pressureAveraging", "Uśrednianie ciśnienia po", kRevolutions,
     "Uśrednianie ciśnienia po … obrotach"},
    {"mainCorrection", "", "[ms]", "Główna poprawka [ms]"},
    {"lpgInjectionDelay", "Opóźnienie wtrysku LPG", "[ms]", "Opóźnienie wtrysku LPG [ms]"},
    {"referencePressure", "Referencja            [kPa]", "", "Referencja [kPa]"},
    {"pressureSlope", "Nachylenie", "", "Nachylenie"},
};

std::vector<setup_field_def_t> shownFields() {
    std::vector<setup_field_def_t> defs;
    for (const shown_t& shown : kShown) {
        defs.push_back({*findSetupField(shown.field), shown.label, shown.suffix, shown.name});
    }
    return defs;
}

QString numberText(Kind kind, double value) {
    return kind == Kind::Real ? QString::number(value, 'g', 15)
                              : QString::number(static_cast<long long>(value));
}

// The typed value as the record would hold it, or nothing for a text that is no number.
std::optional<double> typedValue(Kind kind, const QString& text) {
    if (kind == Kind::Real) {
        return CNumberText::toDouble(text);
    }
    const auto value = CNumberText::toInt(text);
    return value ? std::optional<double>(*value) : std::nullopt;
}

QString injectorName(int gasolineInjector) {
    return QStringLiteral("Maski wtryskiwaczy LPG: %1 -->").arg(gasolineInjector + 1);
}

void setMarked(QWidget* control, bool on) {
    if (CDevSetupDlg::marked(control) == on) {
        return;
    }
    QFont font = control->font();
    font.setBold(on);
    control->setFont(font);
    control->setToolTip(on ? QStringLiteral("Inaczej niż w sterowniku: zmieni się po wpisaniu "
                                            "do urządzenia.")
                           : QString());
}

}  // namespace

const setup_field_def_t& setupFieldDef(int field) {
    static const std::vector<setup_field_def_t> defs = shownFields();
    return defs.at(static_cast<std::size_t>(field));
}

bool CDevSetupDlg::marked(const QWidget* control) {
    return control->font().bold();
}

void CDevSetupDlg::showRecord() {
    const device_info_t& info = record_;
    for (int f = 0; f < FIELDS; ++f) {
        edits_[f]->setText(
            numberText(setupFieldDef(f).field.kind, setupFieldDef(f).field.get(info.setup)));
    }
    notes_->setText(QString::fromStdString(cp1250ToUtf8(info.notes)));
    boxes_.fromRecord(info);
    showBoxes();
    updateMarks();
}

void CDevSetupDlg::showBoxes() {
    mainCorrection_->setChecked(boxes_.mainCorrection);
    pressureCorrection_->setChecked(boxes_.pressureCorrection);
    gasoline12V_->setChecked(boxes_.gasoline12V);
    types_[boxes_.injectionType]->setChecked(true);
    for (int i = 0; i < kInjectors; ++i) {
        injectorEdits_[i]->setText(QString::number(boxes_.injectors[i]));
    }
}

setup_boxes_t CDevSetupDlg::boxesShown() const {
    setup_boxes_t shown;
    shown.mainCorrection = mainCorrection_->isChecked();
    shown.pressureCorrection = pressureCorrection_->isChecked();
    shown.gasoline12V = gasoline12V_->isChecked();
    for (int t = 0; t < 3; ++t) {
        if (types_[t]->isChecked()) {
            shown.injectionType = t;
        }
    }
    for (int i = 0; i < kInjectors; ++i) {
        shown.injectors[i] = CNumberText::toInt(injectorEdits_[i]->text()).value_or(0);
    }
    return shown;
}

bool CDevSetupDlg::moveControls() {
    dev_setup_t setup = record_.setup;
    for (int f = 0; f < FIELDS; ++f) {
        const setup_field_def_t& def = setupFieldDef(f);
        std::optional<double> value;
        if (def.field.kind == Kind::Real) {
            value = CNumberText::readDouble(edits_[f], def.name);
        } else {
            const bool byte = def.field.kind == Kind::Byte;
            const auto typed = CNumberText::readInt(edits_[f], def.name,
                                                    byte ? 0 : std::numeric_limits<int>::min(),
                                                    byte ? 255 : std::numeric_limits<int>::max());
            value = typed ? std::optional<double>(*typed) : std::nullopt;
        }
        if (!value) {
            return false;
        }
        def.field.set(setup, *value);
    }
    setup_boxes_t boxes = boxesShown();
    for (int i = 0; i < kInjectors && masksEditable(); ++i) {
        const auto number = CNumberText::readInt(injectorEdits_[i], injectorName(i), 1, kInjectors);
        if (!number) {
            return false;
        }
        boxes.injectors[i] = *number;
    }
    if (!masksEditable()) {
        boxes.injectors = boxes_.injectors;
    }
    record_.setup = setup;
    record_.notes = utf8ToCp1250(notes_->text().toStdString());
    boxes_ = boxes;
    return true;
}

void CDevSetupDlg::updateMarks() {
    const bool known = readBack_.has_value();
    const dev_setup_t base = known ? readBack_->setup : dev_setup_t{};
    for (int f = 0; f < FIELDS; ++f) {
        const Kind kind = setupFieldDef(f).field.kind;
        const auto typed = typedValue(kind, edits_[f]->text());
        const bool same =
            typed && numberText(kind, *typed) == numberText(kind, setupFieldDef(f).field.get(base));
        setMarked(edits_[f], known && !same);
    }
    setup_boxes_t was;
    if (known) {
        was.fromRecord(*readBack_);
    }
    const setup_boxes_t now = boxesShown();
    setMarked(mainCorrection_, known && now.mainCorrection != was.mainCorrection);
    setMarked(pressureCorrection_, known && now.pressureCorrection != was.pressureCorrection);
    setMarked(gasoline12V_, known && now.gasoline12V != was.gasoline12V);
    for (int t = 0; t < 3; ++t) {
        setMarked(types_[t], known && t == now.injectionType && t != was.injectionType);
    }
    for (int i = 0; i < kInjectors; ++i) {
        setMarked(injectorEdits_[i], known && now.injectors[i] != was.injectors[i]);
    }
}

QStringList CDevSetupDlg::unwrittenChanges() const {
    const device_info_t& base = readBack_ ? *readBack_ : opened_;
    QStringList changes;
    for (int f = 0; f < FIELDS; ++f) {
        const Kind kind = setupFieldDef(f).field.kind;
        const auto typed = typedValue(kind, edits_[f]->text());
        if (!typed ||
            numberText(kind, *typed) != numberText(kind, setupFieldDef(f).field.get(base.setup))) {
            changes << QString(setupFieldDef(f).name).trimmed();
        }
    }
    setup_boxes_t was;
    was.fromRecord(base);
    const setup_boxes_t now = boxesShown();
    const std::pair<bool, const char*> boxes[] = {
        {now.mainCorrection != was.mainCorrection, "Główna poprawka (włączona)"},
        {now.pressureCorrection != was.pressureCorrection, "Poprawki od ciśnienia różnicowego"},
        {now.gasoline12V != was.gasoline12V, "Wtryskiwacze benzynowe załączane sygnałem 12 V"},
        {now.injectionType != was.injectionType, "Typ wtrysku benzynowego"},
        {now.injectors != was.injectors, "Maski wtryskiwaczy LPG"},
        {record_.timeTable != base.timeTable, "Tabela poprawek czasu"},
        {notes_->text() != QString::fromStdString(cp1250ToUtf8(base.notes)), "Uwagi"},
    };
    for (const auto& [changed, name] : boxes) {
        if (changed) {
            changes << name;
        }
    }
    return changes;
}
