#include "desktop/atspi/roles.h"

#include <algorithm>
#include <cctype>

namespace tildo::atspi {

namespace {

// AT-SPI roles as the platform names them; anything else is a group.
constexpr std::array ROLES = {
    Rol{ATSPI_ROLE_PUSH_BUTTON, "AXButton", nullptr},
    Rol{ATSPI_ROLE_PUSH_BUTTON_MENU, "AXMenuButton", nullptr},
    Rol{ATSPI_ROLE_TOGGLE_BUTTON, "AXCheckBox", "AXToggle"},
    Rol{ATSPI_ROLE_CHECK_BOX, "AXCheckBox", nullptr},
    Rol{ATSPI_ROLE_RADIO_BUTTON, "AXRadioButton", nullptr},
    Rol{ATSPI_ROLE_COMBO_BOX, "AXPopUpButton", nullptr},
    Rol{ATSPI_ROLE_PASSWORD_TEXT, "AXSecureTextField", nullptr},
    Rol{ATSPI_ROLE_ENTRY, "AXTextField", nullptr},
    Rol{ATSPI_ROLE_EDITBAR, "AXTextField", nullptr},
    Rol{ATSPI_ROLE_TEXT, "AXTextArea", nullptr},
    Rol{ATSPI_ROLE_DOCUMENT_TEXT, "AXTextArea", nullptr},
    Rol{ATSPI_ROLE_LABEL, "AXStaticText", nullptr},
    Rol{ATSPI_ROLE_STATIC, "AXStaticText", nullptr},
    Rol{ATSPI_ROLE_CAPTION, "AXStaticText", nullptr},
    Rol{ATSPI_ROLE_PARAGRAPH, "AXStaticText", nullptr},
    Rol{ATSPI_ROLE_LINK, "AXLink", nullptr},
    Rol{ATSPI_ROLE_MENU_ITEM, "AXMenuItem", nullptr},
    Rol{ATSPI_ROLE_CHECK_MENU_ITEM, "AXMenuItem", nullptr},
    Rol{ATSPI_ROLE_RADIO_MENU_ITEM, "AXMenuItem", nullptr},
    Rol{ATSPI_ROLE_TEAROFF_MENU_ITEM, "AXMenuItem", nullptr},
    Rol{ATSPI_ROLE_MENU, "AXMenu", nullptr},
    Rol{ATSPI_ROLE_MENU_BAR, "AXMenuBar", nullptr},
    Rol{ATSPI_ROLE_PAGE_TAB, "AXTab", nullptr},
    Rol{ATSPI_ROLE_PAGE_TAB_LIST, "AXTabGroup", nullptr},
    Rol{ATSPI_ROLE_TABLE_CELL, "AXCell", nullptr},
    Rol{ATSPI_ROLE_TABLE, "AXTable", nullptr},
    Rol{ATSPI_ROLE_TREE_TABLE, "AXOutline", nullptr},
    Rol{ATSPI_ROLE_TREE, "AXOutline", nullptr},
    Rol{ATSPI_ROLE_TABLE_ROW, "AXRow", nullptr},
    Rol{ATSPI_ROLE_TREE_ITEM, "AXRow", nullptr},
    Rol{ATSPI_ROLE_LIST, "AXList", nullptr},
    Rol{ATSPI_ROLE_LIST_BOX, "AXList", nullptr},
    Rol{ATSPI_ROLE_LIST_ITEM, "AXRow", nullptr},
    Rol{ATSPI_ROLE_COLUMN_HEADER, "AXButton", nullptr},
    Rol{ATSPI_ROLE_TABLE_COLUMN_HEADER, "AXButton", nullptr},
    Rol{ATSPI_ROLE_ROW_HEADER, "AXCell", nullptr},
    Rol{ATSPI_ROLE_TABLE_ROW_HEADER, "AXCell", nullptr},
    Rol{ATSPI_ROLE_ANIMATION, "AXBusyIndicator", nullptr},
    Rol{ATSPI_ROLE_SLIDER, "AXSlider", nullptr},
    Rol{ATSPI_ROLE_SPIN_BUTTON, "AXIncrementor", nullptr},
    Rol{ATSPI_ROLE_SCROLL_BAR, "AXScrollBar", nullptr},
    Rol{ATSPI_ROLE_SCROLL_PANE, "AXScrollArea", nullptr},
    Rol{ATSPI_ROLE_PROGRESS_BAR, "AXProgressIndicator", nullptr},
    Rol{ATSPI_ROLE_LEVEL_BAR, "AXLevelIndicator", nullptr},
    Rol{ATSPI_ROLE_SPLIT_PANE, "AXSplitGroup", nullptr},
    Rol{ATSPI_ROLE_TOOL_BAR, "AXToolbar", nullptr},
    Rol{ATSPI_ROLE_IMAGE, "AXImage", nullptr},
    Rol{ATSPI_ROLE_ICON, "AXImage", nullptr},
    Rol{ATSPI_ROLE_HEADING, "AXHeading", nullptr},
    Rol{ATSPI_ROLE_TOOL_TIP, "AXHelpTag", nullptr},
    Rol{ATSPI_ROLE_DATE_EDITOR, "AXDateField", nullptr},
    Rol{ATSPI_ROLE_DOCUMENT_WEB, "AXWebArea", nullptr},
    Rol{ATSPI_ROLE_FRAME, "AXWindow", "AXStandardWindow"},
    Rol{ATSPI_ROLE_WINDOW, "AXWindow", "AXStandardWindow"},
    Rol{ATSPI_ROLE_DIALOG, "AXWindow", "AXDialog"},
    Rol{ATSPI_ROLE_FILE_CHOOSER, "AXWindow", "AXDialog"},
    Rol{ATSPI_ROLE_ALERT, "AXWindow", "AXDialog"},
    Rol{ATSPI_ROLE_APPLICATION, "AXApplication", nullptr},
};

}  // namespace

const Rol* rolDe(AtspiRole r) {
  for (const auto& x : ROLES)
    if (x.atspi == r) return &x;
  return nullptr;
}

bool esVentana(AtspiRole r) {
  const Rol* x = rolDe(r);
  return x && std::string_view(x->rol) == "AXWindow";
}

bool esMarcable(AtspiRole r) {
  return r == ATSPI_ROLE_CHECK_BOX || r == ATSPI_ROLE_RADIO_BUTTON ||
         r == ATSPI_ROLE_TOGGLE_BUTTON || r == ATSPI_ROLE_CHECK_MENU_ITEM ||
         r == ATSPI_ROLE_RADIO_MENU_ITEM;
}

bool esNumerico(AtspiRole r) {
  return r == ATSPI_ROLE_SLIDER || r == ATSPI_ROLE_SPIN_BUTTON || r == ATSPI_ROLE_SCROLL_BAR ||
         r == ATSPI_ROLE_PROGRESS_BAR || r == ATSPI_ROLE_LEVEL_BAR;
}

bool conPartesDeAdorno(AtspiRole r) {
  return r == ATSPI_ROLE_PUSH_BUTTON || r == ATSPI_ROLE_TOGGLE_BUTTON ||
         r == ATSPI_ROLE_CHECK_BOX || r == ATSPI_ROLE_RADIO_BUTTON || r == ATSPI_ROLE_PAGE_TAB ||
         r == ATSPI_ROLE_SLIDER || r == ATSPI_ROLE_SCROLL_BAR || r == ATSPI_ROLE_PROGRESS_BAR;
}

namespace {

bool igualSinCaja(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) ==
           std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

std::optional<size_t> rangoDePulsar(std::string_view accion) {
  for (size_t i = 0; i < PULSAR.size(); ++i)
    if (igualSinCaja(accion, PULSAR[i])) return i;
  return std::nullopt;
}

bool esSoltar(std::string_view accion) {
  return igualSinCaja(accion, "release");
}

bool tieneEstado(const std::vector<uint32_t>& estados, AtspiStateType e) {
  const auto i = static_cast<size_t>(e);
  return i / 32 < estados.size() && (estados[i / 32] >> (i % 32)) & 1u;
}

}  // namespace tildo::atspi
