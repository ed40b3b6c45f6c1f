#!/usr/bin/python3
"""The measurements bench/arbol runs on its virtual desktop."""
import json
import os
import statistics
import subprocess
import sys
import tempfile
import time

VECES = int(os.environ["VECES"])
APPS = [(clave, titulo, app, buscado) for clave, titulo, app, buscado in [
    ("gtk", "gtk3-widget-factory", "widget", "widget"),
    ("qt", "Qt Widgets (ventana_qt)", "ventana_qt", "ventana_qt"),
    ("firefox", "Firefox ESR, página larga", "firefox", "firefox"),
    ("chromium", "Chromium con su accesibilidad, página larga", "chromium", "chromium"),
    ("writer", "LibreOffice Writer, documento vacío", "soffice", "soffice"),
] if clave in os.environ["ARBOL_APPS"].split(",")]
ENTORNO = dict(os.environ, TILDO_ESCRITORIO="")


def herramientas(app, buscado):
    h = {"tildo-ax": [os.environ["TILDO_AX"], "ax-tree", "--app", app, "--depth", "1000",
                      "--max", "1000000"]}
    if os.environ["TILDO_AX_ANTES"]:
        h["antes"] = [os.environ["TILDO_AX_ANTES"]] + h["tildo-ax"][1:]
    h["pyatspi"] = ["/usr/bin/python3", os.environ["BENCH"] + "/arbol_pyatspi.py", buscado]
    return h


def correr(orden):
    r = subprocess.run(orden, capture_output=True, text=True, env=ENTORNO, timeout=120)
    try:
        return json.loads(r.stdout)
    except ValueError:
        return {}


def esperarArbol(orden):
    # Ready once its outline has stopped growing.
    previo = -1
    for _ in range(120):
        t = correr(orden).get("total", 0)
        if t > 1 and t == previo:
            return
        previo = t
        time.sleep(0.5)
    sys.exit(f"el árbol no se asentó: {' '.join(orden)}")


def llamadas(orden):
    # Method calls to applications (unique names) seen on the accessibility bus during one run,
    # one short line each, written to a file so that the monitor never waits on a full pipe.
    with tempfile.TemporaryFile("w+") as archivo:
        monitor = subprocess.Popen(["dbus-monitor", "--address", os.environ["AT_SPI_BUS_ADDRESS"],
                                    "--profile", "type=method_call"], stdout=archivo)
        time.sleep(0.5)
        correr(orden)
        time.sleep(0.5)
        monitor.terminate()
        monitor.wait()
        archivo.seek(0)
        # Fields: type, time, serial, sender, destination, path, interface, member.
        campos = [linea.split("\t") for linea in archivo]
    return sum(1 for c in campos if len(c) > 4 and c[0] == "mc" and c[4].startswith(":"))


def main():
    print(f"ax-tree completo contra pyatspi, {VECES} veces cada uno, alternados (medianas)")
    # Every application settled first, so that none is starting while another is measured.
    for _, _, app, buscado in APPS:
        esperarArbol(herramientas(app, buscado)["tildo-ax"])
    for _, titulo, app, buscado in APPS:
        h = herramientas(app, buscado)
        for orden in h.values():  # warm up: the toolkits build some of their trees lazily
            correr(orden)
        elementos = correr(h["pyatspi"]).get("visitados", 0)
        tiempos = {k: [] for k in h}
        nodos = {}
        for _ in range(VECES):
            for k, orden in h.items():
                inicio = time.perf_counter()
                nodos[k] = correr(orden).get("total", 0)
                tiempos[k].append(time.perf_counter() - inicio)
        m = {k: statistics.median(v) for k, v in tiempos.items()}
        print(f"{titulo}: {elementos} elementos")
        for k, orden in h.items():
            por = llamadas(orden) / max(elementos, 1)
            # pyatspi reads GTK and Firefox over their own sockets, which the bus does not see.
            cuenta = f"{por:5.2f} llamadas por elemento" if por >= 0.1 else "llamadas fuera del bus"
            print(f"  {k:9} {m[k] * 1000:7.1f} ms   nodos {nodos[k]:5}   {cuenta}")
        print(f"  pyatspi / tildo-ax {m['pyatspi'] / m['tildo-ax']:.1f}", end="")
        if "antes" in m:
            print(f"   antes / tildo-ax {m['antes'] / m['tildo-ax']:.1f}", end="")
        print(flush=True)


main()
