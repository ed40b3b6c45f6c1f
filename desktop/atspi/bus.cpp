#include "desktop/atspi/bus.h"

#include <cstring>
#include <utility>

namespace tildo::atspi {
namespace {

// The platform's default messaging time-out.
constexpr int ESPERA_MS = 6000;

DBusMessage* mensaje(const Objeto& o, const char* interfaz, const char* nombre) {
  return dbus_message_new_method_call(o.bus.c_str(), o.ruta.c_str(), interfaz, nombre);
}

// Steps into a variant when the value is one.
void sinVariante(DBusMessageIter& it) {
  if (dbus_message_iter_get_arg_type(&it) == DBUS_TYPE_VARIANT) {
    DBusMessageIter dentro;
    dbus_message_iter_recurse(&it, &dentro);
    it = dentro;
  }
}

std::optional<std::string> cadena(DBusMessageIter& it) {
  const int t = dbus_message_iter_get_arg_type(&it);
  if (t != DBUS_TYPE_STRING && t != DBUS_TYPE_OBJECT_PATH) return std::nullopt;
  const char* s = nullptr;
  dbus_message_iter_get_basic(&it, &s);
  return std::string(s ? s : "");
}

std::optional<Objeto> objetoDe(DBusMessageIter& it) {
  if (dbus_message_iter_get_arg_type(&it) != DBUS_TYPE_STRUCT) return std::nullopt;
  DBusMessageIter campos;
  dbus_message_iter_recurse(&it, &campos);
  auto bus = cadena(campos);
  if (!bus || !dbus_message_iter_next(&campos)) return std::nullopt;
  auto ruta = cadena(campos);
  if (!ruta) return std::nullopt;
  return Objeto{*bus, *ruta};
}

}  // namespace

Llamada Llamada::enviar(DBusConnection* bus, DBusMessage* m) {
  DBusPendingCall* p = nullptr;
  if (m && bus && !dbus_connection_send_with_reply(bus, m, &p, ESPERA_MS)) p = nullptr;
  if (m) dbus_message_unref(m);
  return Llamada(p);
}

Llamada Llamada::metodo(DBusConnection* bus, const Objeto& o, const char* interfaz,
                        const char* nombre) {
  return enviar(bus, mensaje(o, interfaz, nombre));
}

Llamada Llamada::propiedad(DBusConnection* bus, const Objeto& o, const char* interfaz,
                           const char* nombre) {
  DBusMessage* m = mensaje(o, "org.freedesktop.DBus.Properties", "Get");
  if (m)
    dbus_message_append_args(m, DBUS_TYPE_STRING, &interfaz, DBUS_TYPE_STRING, &nombre,
                             DBUS_TYPE_INVALID);
  return enviar(bus, m);
}

Llamada Llamada::conEnteros(DBusConnection* bus, const Objeto& o, const char* interfaz,
                            const char* nombre, const std::vector<int32_t>& enteros,
                            std::optional<uint32_t> natural) {
  DBusMessage* m = mensaje(o, interfaz, nombre);
  if (m) {
    DBusMessageIter it;
    dbus_message_iter_init_append(m, &it);
    for (int32_t e : enteros) dbus_message_iter_append_basic(&it, DBUS_TYPE_INT32, &e);
    if (natural) dbus_message_iter_append_basic(&it, DBUS_TYPE_UINT32, &*natural);
  }
  return enviar(bus, m);
}

Llamada::Llamada(Llamada&& o) noexcept
    : pendiente_(std::exchange(o.pendiente_, nullptr)),
      respuesta_(std::exchange(o.respuesta_, nullptr)),
      esperada_(std::exchange(o.esperada_, false)) {}

Llamada& Llamada::operator=(Llamada&& o) noexcept {
  std::swap(pendiente_, o.pendiente_);
  std::swap(respuesta_, o.respuesta_);
  std::swap(esperada_, o.esperada_);
  return *this;
}

Llamada::~Llamada() {
  if (pendiente_) {
    dbus_pending_call_cancel(pendiente_);
    dbus_pending_call_unref(pendiente_);
  }
  if (respuesta_) dbus_message_unref(respuesta_);
}

bool Llamada::lista() const {
  return esperada_ || !pendiente_ || dbus_pending_call_get_completed(pendiente_);
}

DBusMessage* Llamada::respuesta() {
  if (!esperada_) {
    esperada_ = true;
    if (pendiente_) {
      dbus_pending_call_block(pendiente_);
      DBusMessage* r = dbus_pending_call_steal_reply(pendiente_);
      dbus_pending_call_unref(pendiente_);
      pendiente_ = nullptr;
      if (r && dbus_message_get_type(r) == DBUS_MESSAGE_TYPE_METHOD_RETURN)
        respuesta_ = r;
      else if (r)
        dbus_message_unref(r);
    }
  }
  return respuesta_;
}

bool Llamada::inicio(DBusMessageIter& it) {
  DBusMessage* r = respuesta();
  return r && dbus_message_iter_init(r, &it);
}

std::optional<std::string> Llamada::texto() {
  DBusMessageIter it;
  if (!inicio(it)) return std::nullopt;
  sinVariante(it);
  return cadena(it);
}

std::optional<uint32_t> Llamada::natural() {
  DBusMessageIter it;
  if (!inicio(it) || dbus_message_iter_get_arg_type(&it) != DBUS_TYPE_UINT32) return std::nullopt;
  uint32_t n = 0;
  dbus_message_iter_get_basic(&it, &n);
  return n;
}

std::optional<int32_t> Llamada::entero() {
  DBusMessageIter it;
  if (!inicio(it)) return std::nullopt;
  sinVariante(it);
  if (dbus_message_iter_get_arg_type(&it) != DBUS_TYPE_INT32) return std::nullopt;
  int32_t n = 0;
  dbus_message_iter_get_basic(&it, &n);
  return n;
}

std::optional<double> Llamada::numero() {
  DBusMessageIter it;
  if (!inicio(it)) return std::nullopt;
  sinVariante(it);
  if (dbus_message_iter_get_arg_type(&it) != DBUS_TYPE_DOUBLE) return std::nullopt;
  double d = 0;
  dbus_message_iter_get_basic(&it, &d);
  return d;
}

std::optional<bool> Llamada::booleano() {
  DBusMessageIter it;
  if (!inicio(it) || dbus_message_iter_get_arg_type(&it) != DBUS_TYPE_BOOLEAN) return std::nullopt;
  dbus_bool_t b = false;
  dbus_message_iter_get_basic(&it, &b);
  return b != 0;
}

std::optional<std::vector<uint32_t>> Llamada::naturales() {
  DBusMessageIter it, lista;
  if (!inicio(it) || dbus_message_iter_get_arg_type(&it) != DBUS_TYPE_ARRAY) return std::nullopt;
  dbus_message_iter_recurse(&it, &lista);
  std::vector<uint32_t> v;
  while (dbus_message_iter_get_arg_type(&lista) == DBUS_TYPE_UINT32) {
    uint32_t n = 0;
    dbus_message_iter_get_basic(&lista, &n);
    v.push_back(n);
    dbus_message_iter_next(&lista);
  }
  return v;
}

std::optional<std::vector<std::string>> Llamada::textos() {
  DBusMessageIter it, lista;
  if (!inicio(it) || dbus_message_iter_get_arg_type(&it) != DBUS_TYPE_ARRAY) return std::nullopt;
  dbus_message_iter_recurse(&it, &lista);
  std::vector<std::string> v;
  while (auto s = cadena(lista)) {
    v.push_back(*s);
    if (!dbus_message_iter_next(&lista)) break;
  }
  return v;
}

std::optional<Extension> Llamada::extension() {
  DBusMessageIter it, campos;
  if (!inicio(it) || dbus_message_iter_get_arg_type(&it) != DBUS_TYPE_STRUCT) return std::nullopt;
  dbus_message_iter_recurse(&it, &campos);
  int32_t v[4];
  for (int i = 0; i < 4; ++i) {
    if (dbus_message_iter_get_arg_type(&campos) != DBUS_TYPE_INT32) return std::nullopt;
    dbus_message_iter_get_basic(&campos, &v[i]);
    dbus_message_iter_next(&campos);
  }
  return Extension{v[0], v[1], v[2], v[3]};
}

std::optional<std::vector<Objeto>> Llamada::objetos() {
  DBusMessageIter it, lista;
  if (!inicio(it) || dbus_message_iter_get_arg_type(&it) != DBUS_TYPE_ARRAY) return std::nullopt;
  dbus_message_iter_recurse(&it, &lista);
  std::vector<Objeto> v;
  while (auto o = objetoDe(lista)) {
    v.push_back(*o);
    if (!dbus_message_iter_next(&lista)) break;
  }
  return v;
}

std::optional<Objeto> Llamada::objeto() {
  DBusMessageIter it;
  if (!inicio(it)) return std::nullopt;
  sinVariante(it);
  return objetoDe(it);
}

std::optional<std::string> Llamada::atributo(const char* clave) {
  DBusMessageIter it, lista;
  if (!inicio(it) || dbus_message_iter_get_arg_type(&it) != DBUS_TYPE_ARRAY) return std::nullopt;
  dbus_message_iter_recurse(&it, &lista);
  while (dbus_message_iter_get_arg_type(&lista) == DBUS_TYPE_DICT_ENTRY) {
    DBusMessageIter par;
    dbus_message_iter_recurse(&lista, &par);
    auto k = cadena(par);
    if (k && *k == clave && dbus_message_iter_next(&par)) return cadena(par);
    dbus_message_iter_next(&lista);
  }
  return std::nullopt;
}

}  // namespace tildo::atspi
