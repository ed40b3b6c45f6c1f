#include "desktop/atspi/bus.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "common/texto.h"

namespace tildo::atspi {

bool referenciaValida(const Objeto& o) {
  return dbus_validate_bus_name(o.bus.c_str(), nullptr) &&
         dbus_validate_path(o.ruta.c_str(), nullptr);
}

DBusMessage* llamadaA(const Objeto& o, const char* interfaz, const char* nombre) {
  if (!referenciaValida(o)) return nullptr;
  return dbus_message_new_method_call(o.bus.c_str(), o.ruta.c_str(), interfaz, nombre);
}

namespace {

// Steps into a variant when the value is one.
void sinVariante(DBusMessageIter& it) {
  if (dbus_message_iter_get_arg_type(&it) == DBUS_TYPE_VARIANT) {
    DBusMessageIter dentro;
    dbus_message_iter_recurse(&it, &dentro);
    it = dentro;
  }
}

// A string or object path, whole.
std::optional<std::string_view> crudo(DBusMessageIter& it) {
  const int t = dbus_message_iter_get_arg_type(&it);
  if (t != DBUS_TYPE_STRING && t != DBUS_TYPE_OBJECT_PATH) return std::nullopt;
  const char* s = nullptr;
  dbus_message_iter_get_basic(&it, &s);
  return std::string_view(s ? s : "");
}

// A text, cut to LARGO_TEXTO. libdbus lets only well-formed UTF-8 through, so a cut is the only
// place a character can be broken.
std::optional<std::string> cadena(DBusMessageIter& it) {
  auto s = crudo(it);
  if (!s) return std::nullopt;
  if (s->size() <= LARGO_TEXTO) return std::string(*s);
  return utf8Reparado(s->substr(0, LARGO_TEXTO), true);
}

// A reference, (so) or (ss); nothing when it is not a valid one.
std::optional<Objeto> objetoDe(DBusMessageIter& it) {
  if (dbus_message_iter_get_arg_type(&it) != DBUS_TYPE_STRUCT) return std::nullopt;
  DBusMessageIter campos;
  dbus_message_iter_recurse(&it, &campos);
  auto bus = crudo(campos);
  if (!bus || !dbus_message_iter_next(&campos)) return std::nullopt;
  auto ruta = crudo(campos);
  if (!ruta) return std::nullopt;
  Objeto o{std::string(*bus), std::string(*ruta)};
  if (!referenciaValida(o)) return std::nullopt;
  return o;
}

// The values of an array of u, from the iterator at the array.
std::vector<uint32_t> naturalesDe(DBusMessageIter& arreglo) {
  DBusMessageIter lista;
  dbus_message_iter_recurse(&arreglo, &lista);
  std::vector<uint32_t> v;
  while (dbus_message_iter_get_arg_type(&lista) == DBUS_TYPE_UINT32) {
    uint32_t n = 0;
    dbus_message_iter_get_basic(&lista, &n);
    v.push_back(n);
    dbus_message_iter_next(&lista);
  }
  return v;
}

// The strings of an array of s (or o), from the iterator at the array.
std::vector<std::string> cadenasDe(DBusMessageIter& arreglo) {
  DBusMessageIter lista;
  dbus_message_iter_recurse(&arreglo, &lista);
  std::vector<std::string> v;
  while (auto s = cadena(lista)) {
    v.push_back(*s);
    if (!dbus_message_iter_next(&lista)) break;
  }
  return v;
}

}  // namespace

struct Llamada::Pendiente {
  Bus* bus;  // none once the bus is gone
  Bus::Destino* destino;
  dbus_uint32_t serie = 0;
  DBusMessage* respuesta = nullptr;  // the answer or the error, until a call takes it
  bool completa = false;
  std::function<void()> luego;

  ~Pendiente() {
    if (respuesta) dbus_message_unref(respuesta);
  }
};

std::unique_ptr<Bus> Bus::conectar(const std::string& direccion) {
  DBusError e;
  dbus_error_init(&e);
  DBusConnection* c = dbus_connection_open_private(direccion.c_str(), &e);
  dbus_error_free(&e);
  if (!c) return nullptr;
  // libdbus would end the process when the bus goes away.
  dbus_connection_set_exit_on_disconnect(c, false);
  dbus_connection_set_max_received_size(c, RECIBIDO_MAXIMO);
  std::unique_ptr<Bus> bus(new Bus(c));
  // Answers are matched to their calls as they are dispatched (alRecibir).
  if (!dbus_connection_add_filter(c, alRecibir, bus.get(), nullptr)) return nullptr;
  // The greeting every bus expects first; libdbus holds the calls that follow until the
  // connection is authenticated, and the bus answers them in order.
  bus->hola_ = bus->metodo({DBUS_SERVICE_DBUS, DBUS_PATH_DBUS}, DBUS_INTERFACE_DBUS, "Hello");
  return bus;
}

bool Bus::saludado() {
  // Under the same bounds as any other call (the library's own would wait 25 s).
  if (!hola_.esperarHasta(Reloj::now() + ESPERA_TOTAL)) return false;
  auto nombre = hola_.texto();
  if (!nombre) return false;
  dbus_bus_set_unique_name(c_, nombre->c_str());
  return true;
}

Bus::~Bus() {
  hola_ = Llamada();
  // What the calls still in flight run when they are let go must not reach this bus.
  for (auto& [serie, p] : pendientes_) p->bus = nullptr;
  const auto sueltas = std::move(pendientes_);
  // Nothing is dispatched once the connection is closed, so the filter is not called again.
  dbus_connection_close(c_);
  dbus_connection_unref(c_);
}

Llamada Bus::enviar(DBusMessage* m) {
  Llamada l;
  if (!m) return l;
  if (const char* d = dbus_message_get_destination(m)) l.destino_ = d;
  auto& destino = destinos_[l.destino_];
  dbus_uint32_t serie = 0;
  // Nothing more is asked of an application that has stopped answering.
  const bool enviada = !destino.callada && dbus_connection_send(c_, m, &serie);
  dbus_message_unref(m);
  if (!enviada) {
    l.esperada_ = true;
    l.error_ = true;
    return l;
  }
  l.pendiente_ = std::make_shared<Llamada::Pendiente>();
  l.pendiente_->bus = this;
  l.pendiente_->destino = &destino;
  l.pendiente_->serie = serie;
  pendientes_.emplace(serie, l.pendiente_);
  l.enviadaEn_ = Reloj::now();
  return l;
}

DBusHandlerResult Bus::alRecibir(DBusConnection*, DBusMessage* m, void* datos) {
  const int tipo = dbus_message_get_type(m);
  if (tipo != DBUS_MESSAGE_TYPE_METHOD_RETURN && tipo != DBUS_MESSAGE_TYPE_ERROR)
    return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
  auto* bus = static_cast<Bus*>(datos);
  // An answer to a call let go before it came is dropped.
  auto it = bus->pendientes_.find(dbus_message_get_reply_serial(m));
  if (it == bus->pendientes_.end()) return DBUS_HANDLER_RESULT_HANDLED;
  auto p = std::move(it->second);
  bus->pendientes_.erase(it);
  p->respuesta = dbus_message_ref(m);
  p->completa = true;
  p->destino->ultimaRespuesta = Reloj::now();
  // The step may send calls and take answers.
  if (auto paso = std::move(p->luego)) paso();
  bus->darPaso();
  return DBUS_HANDLER_RESULT_HANDLED;
}

void Bus::cuandoQuepa(std::function<void()> paso) {
  if (enEspera_.empty() && enVuelo() < EN_VUELO_MAXIMO) {
    paso();
    return;
  }
  enEspera_.push_back(std::move(paso));
}

void Bus::darPaso() {
  if (dandoPaso_) return;
  dandoPaso_ = true;
  while (!enEspera_.empty() && enVuelo() < EN_VUELO_MAXIMO) {
    auto paso = std::move(enEspera_.front());
    enEspera_.pop_front();
    paso();
  }
  dandoPaso_ = false;
}

bool Bus::esperar(std::shared_ptr<Llamada::Pendiente> p, Reloj::time_point hasta) {
  const auto inicio = Reloj::now();
  const auto limite = std::min(hasta, inicio + (ESPERA_TOTAL - esperado_));
  bool conectado = true;
  while (!p->completa) {
    while (dbus_connection_dispatch(c_) == DBUS_DISPATCH_DATA_REMAINS) {
    }
    if (p->completa) break;
    const auto ahora = Reloj::now();
    if (ahora >= limite || !conectado) break;
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(limite - ahora).count() + 1;
    conectado = dbus_connection_read_write(c_, static_cast<int>(ms));
  }
  esperado_ += Reloj::now() - inicio;
  return p->completa;
}

bool Bus::esperarAcotado(Llamada& l) {
  // Steps run while waiting may let the call go: what is waited for is kept here.
  const auto pendiente = l.pendiente_;
  const auto enviadaEn = l.enviadaEn_;
  const std::string nombre = l.destino_;
  auto& destino = destinos_[nombre];
  while (!destino.callada) {
    // Silence is counted from the later of the question and the application's last answer,
    // so a long queue of questions being answered one by one is not silence.
    const auto desde = std::max(enviadaEn, destino.ultimaRespuesta);
    if (esperar(pendiente, desde + SILENCIO)) return true;
    if (esperado_ >= ESPERA_TOTAL ||
        Reloj::now() >= std::max(enviadaEn, destino.ultimaRespuesta) + SILENCIO ||
        !dbus_connection_get_is_connected(c_))
      destino.callada = true;
  }
  if (alCallar) alCallar(nombre);
  return false;
}

Llamada Bus::metodo(const Objeto& o, const char* interfaz, const char* nombre) {
  return enviar(llamadaA(o, interfaz, nombre));
}

Llamada Bus::propiedad(const Objeto& o, const char* interfaz, const char* nombre) {
  DBusMessage* m = llamadaA(o, DBUS_INTERFACE_PROPERTIES, "Get");
  if (m)
    dbus_message_append_args(m, DBUS_TYPE_STRING, &interfaz, DBUS_TYPE_STRING, &nombre,
                             DBUS_TYPE_INVALID);
  return enviar(m);
}

Llamada Bus::fijar(const Objeto& o, const char* interfaz, const char* nombre, bool valor) {
  DBusMessage* m = llamadaA(o, DBUS_INTERFACE_PROPERTIES, "Set");
  if (m) {
    DBusMessageIter it, variante;
    dbus_message_iter_init_append(m, &it);
    dbus_message_iter_append_basic(&it, DBUS_TYPE_STRING, &interfaz);
    dbus_message_iter_append_basic(&it, DBUS_TYPE_STRING, &nombre);
    dbus_message_iter_open_container(&it, DBUS_TYPE_VARIANT, DBUS_TYPE_BOOLEAN_AS_STRING,
                                     &variante);
    dbus_bool_t b = valor;
    dbus_message_iter_append_basic(&variante, DBUS_TYPE_BOOLEAN, &b);
    dbus_message_iter_close_container(&it, &variante);
  }
  return enviar(m);
}

Llamada Bus::conEnteros(const Objeto& o, const char* interfaz, const char* nombre,
                        const std::vector<int32_t>& enteros, std::optional<uint32_t> natural) {
  DBusMessage* m = llamadaA(o, interfaz, nombre);
  if (m) {
    DBusMessageIter it;
    dbus_message_iter_init_append(m, &it);
    for (int32_t e : enteros) dbus_message_iter_append_basic(&it, DBUS_TYPE_INT32, &e);
    if (natural) dbus_message_iter_append_basic(&it, DBUS_TYPE_UINT32, &*natural);
  }
  return enviar(m);
}

Llamada Bus::conTexto(const Objeto& o, const char* interfaz, const char* nombre,
                      const std::string& texto) {
  DBusMessage* m = llamadaA(o, interfaz, nombre);
  const char* t = texto.c_str();
  if (m) dbus_message_append_args(m, DBUS_TYPE_STRING, &t, DBUS_TYPE_INVALID);
  return enviar(m);
}

Llamada::Llamada(Llamada&& o) noexcept
    : pendiente_(std::move(o.pendiente_)),
      destino_(std::move(o.destino_)),
      enviadaEn_(o.enviadaEn_),
      respuesta_(std::exchange(o.respuesta_, nullptr)),
      esperada_(std::exchange(o.esperada_, false)),
      error_(std::exchange(o.error_, false)) {}

Llamada& Llamada::operator=(Llamada&& o) noexcept {
  std::swap(pendiente_, o.pendiente_);
  std::swap(destino_, o.destino_);
  std::swap(enviadaEn_, o.enviadaEn_);
  std::swap(respuesta_, o.respuesta_);
  std::swap(esperada_, o.esperada_);
  std::swap(error_, o.error_);
  return *this;
}

Llamada::~Llamada() {
  // A call let go in flight is no longer waited for; its answer will be dropped.
  if (pendiente_ && !pendiente_->completa && pendiente_->bus)
    pendiente_->bus->pendientes_.erase(pendiente_->serie);
  if (respuesta_) dbus_message_unref(respuesta_);
}

bool Llamada::lista() const {
  return esperada_ || !pendiente_ || pendiente_->completa;
}

void Llamada::tomar() {
  esperada_ = true;
  DBusMessage* r = std::exchange(pendiente_->respuesta, nullptr);
  if (r && dbus_message_get_type(r) == DBUS_MESSAGE_TYPE_METHOD_RETURN) {
    respuesta_ = r;
    return;
  }
  error_ = true;
  if (r) dbus_message_unref(r);
}

bool Llamada::esperarHasta(Reloj::time_point hasta) {
  if (esperada_ || !pendiente_) return true;
  if (!pendiente_->completa && (!pendiente_->bus || !pendiente_->bus->esperar(pendiente_, hasta)))
    return false;
  if (!esperada_) tomar();
  return true;
}

DBusMessage* Llamada::respuesta() {
  if (!esperada_ && pendiente_) {
    const bool llego =
        pendiente_->completa || (pendiente_->bus && pendiente_->bus->esperarAcotado(*this));
    // A step run on the answer while waiting may have taken it already.
    if (llego && !esperada_) {
      tomar();
    } else if (!llego) {
      esperada_ = true;
      error_ = true;
    }
  }
  return respuesta_;
}

bool Llamada::fallida() {
  respuesta();
  return error_;
}

void Llamada::luego(std::function<void()> paso) {
  if (lista()) {
    paso();
  } else {
    pendiente_->luego = std::move(paso);
  }
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
  if (!inicio(it)) return std::nullopt;
  sinVariante(it);
  if (dbus_message_iter_get_arg_type(&it) != DBUS_TYPE_UINT32) return std::nullopt;
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
  if (!inicio(it)) return std::nullopt;
  sinVariante(it);
  if (dbus_message_iter_get_arg_type(&it) != DBUS_TYPE_BOOLEAN) return std::nullopt;
  dbus_bool_t b = false;
  dbus_message_iter_get_basic(&it, &b);
  return b != 0;
}

std::optional<std::vector<uint32_t>> Llamada::naturales() {
  DBusMessageIter it;
  if (!inicio(it) || dbus_message_iter_get_arg_type(&it) != DBUS_TYPE_ARRAY) return std::nullopt;
  return naturalesDe(it);
}

std::optional<std::vector<std::string>> Llamada::textos() {
  DBusMessageIter it;
  if (!inicio(it) || dbus_message_iter_get_arg_type(&it) != DBUS_TYPE_ARRAY) return std::nullopt;
  return cadenasDe(it);
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

std::optional<std::vector<std::string>> Llamada::acciones() {
  DBusMessageIter it, lista;
  if (!inicio(it) || dbus_message_iter_get_arg_type(&it) != DBUS_TYPE_ARRAY) return std::nullopt;
  dbus_message_iter_recurse(&it, &lista);
  std::vector<std::string> v;
  while (dbus_message_iter_get_arg_type(&lista) == DBUS_TYPE_STRUCT) {
    DBusMessageIter campos;
    dbus_message_iter_recurse(&lista, &campos);
    auto nombre = cadena(campos);
    if (!nombre) return std::nullopt;
    v.push_back(*nombre);
    dbus_message_iter_next(&lista);
  }
  return v;
}

std::optional<std::vector<Objeto>> Llamada::objetos() {
  DBusMessageIter it, lista;
  if (!inicio(it) || dbus_message_iter_get_arg_type(&it) != DBUS_TYPE_ARRAY) return std::nullopt;
  dbus_message_iter_recurse(&it, &lista);
  std::vector<Objeto> v;
  while (dbus_message_iter_get_arg_type(&lista) == DBUS_TYPE_STRUCT) {
    if (auto o = objetoDe(lista)) v.push_back(std::move(*o));
    dbus_message_iter_next(&lista);
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

bool Llamada::valorEn(const char* clave, DBusMessageIter& it) {
  DBusMessageIter lista;
  if (!inicio(it) || dbus_message_iter_get_arg_type(&it) != DBUS_TYPE_ARRAY) return false;
  dbus_message_iter_recurse(&it, &lista);
  while (dbus_message_iter_get_arg_type(&lista) == DBUS_TYPE_DICT_ENTRY) {
    DBusMessageIter par;
    dbus_message_iter_recurse(&lista, &par);
    auto k = crudo(par);
    if (k && *k == clave && dbus_message_iter_next(&par) &&
        dbus_message_iter_get_arg_type(&par) == DBUS_TYPE_VARIANT) {
      dbus_message_iter_recurse(&par, &it);
      return true;
    }
    dbus_message_iter_next(&lista);
  }
  return false;
}

std::optional<std::string> Llamada::textoEn(const char* clave) {
  DBusMessageIter it;
  if (!valorEn(clave, it)) return std::nullopt;
  return cadena(it);
}

std::optional<int32_t> Llamada::enteroEn(const char* clave) {
  DBusMessageIter it;
  if (!valorEn(clave, it) || dbus_message_iter_get_arg_type(&it) != DBUS_TYPE_INT32)
    return std::nullopt;
  int32_t n = 0;
  dbus_message_iter_get_basic(&it, &n);
  return n;
}

std::optional<std::vector<ItemDeCache>> Llamada::itemsDeCache() {
  DBusMessage* r = respuesta();
  DBusMessageIter it, lista;
  if (!r || std::string_view(dbus_message_get_signature(r)) != "a((so)(so)(so)iiassusau)" ||
      !dbus_message_iter_init(r, &it))
    return std::nullopt;
  auto entero = [](DBusMessageIter& c) {
    int32_t n = 0;
    dbus_message_iter_get_basic(&c, &n);
    dbus_message_iter_next(&c);
    return n;
  };
  auto textoDe = [](DBusMessageIter& c) {
    std::string t = cadena(c).value_or("");
    dbus_message_iter_next(&c);
    return t;
  };
  // The signature was checked above: every field is where it is read from.
  std::vector<ItemDeCache> items;
  dbus_message_iter_recurse(&it, &lista);
  while (dbus_message_iter_get_arg_type(&lista) == DBUS_TYPE_STRUCT) {
    DBusMessageIter c;
    dbus_message_iter_recurse(&lista, &c);
    ItemDeCache item;
    item.objeto = objetoDe(c).value_or(Objeto{});
    dbus_message_iter_next(&c);
    dbus_message_iter_next(&c);  // the application
    item.padre = objetoDe(c).value_or(Objeto{});
    dbus_message_iter_next(&c);
    item.indice = entero(c);
    item.cuantosHijos = entero(c);
    item.interfaces = cadenasDe(c);
    dbus_message_iter_next(&c);
    item.nombre = textoDe(c);
    uint32_t rol = 0;
    dbus_message_iter_get_basic(&c, &rol);
    item.rol = rol;
    dbus_message_iter_next(&c);
    item.descripcion = textoDe(c);
    item.estados = naturalesDe(c);
    items.push_back(std::move(item));
    dbus_message_iter_next(&lista);
  }
  return items;
}

}  // namespace tildo::atspi
