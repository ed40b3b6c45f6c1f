#!/usr/bin/python3
"""The comparison bench/mismas_respuestas runs on its virtual desktop: each accessibility
command with the ANTES build, the DESPUES build and ANTES again, replies compared byte for
byte."""
import json
import os
import subprocess
import sys
import time

ANTES, DESPUES = os.environ["ANTES"], os.environ["DESPUES"]
APPS = ["widget", "zenity", "ventana_qt", "firefox", "chromium"]


def correr(binario, args):
    r = subprocess.run([binario] + args, capture_output=True, text=True, timeout=60,
                       env=dict(os.environ, TILDO_ESCRITORIO=""))
    return f"{r.returncode}\n{r.stdout}{r.stderr}"


def total(app):
    try:
        salida = correr(ANTES, ["ax-tree", "--app", app, "--depth", "1000", "--max", "100000"])
        return json.loads(salida.split("\n", 1)[1]).get("total", 0)
    except (ValueError, IndexError):
        return 0


def esperarArbol(app, minimo):
    # Ready once its outline has stopped growing.
    previo = -1
    for _ in range(200):
        t = total(app)
        if t >= minimo and t == previo:
            return t
        previo = t
        time.sleep(0.5)
    sys.exit(f"{app}: su árbol no se asentó ({previo} nodos)")


def ordenes(app):
    arbol = json.loads(correr(ANTES, ["ax-tree", "--app", app, "--depth", "40", "--max",
                                      "5000"]).split("\n", 1)[1])
    lista = [["ax-tree", "--app", app],
             ["ax-tree", "--app", app, "--depth", "40", "--max", "5000"],
             ["ax-tree", "--app", app, "--depth", "3", "--max", "20"],
             ["ax-focus", "--app", app]]
    titulos = [n["titulo"] for n in arbol["elementos"] if n.get("titulo")]
    for t in titulos[1:3] + titulos[-1:]:
        lista.append(["ax-find", "--app", app, "--name", t.split()[0], "--depth", "40"])
    con_centro = [n for n in arbol["elementos"] if "cx" in n]
    for n in con_centro[:: max(1, len(con_centro) // 6)][:6]:
        lista.append(["ax-at", str(n["cx"]), str(n["cy"])])
    return lista


def main():
    # Counted with ANTES, whose view may leave a page's elements below the fold out (147 of
    # Firefox's 800 in older builds), so a minimum only says the page has loaded.
    minimos = {"widget": 100, "zenity": 5, "ventana_qt": 300, "firefox": 100, "chromium": 100}
    for app in APPS:
        print(f"{app}: {esperarArbol(app, minimos[app])} nodos", flush=True)
    distintas = inestables = iguales = 0
    for app in APPS:
        for orden in ordenes(app) + [["frontmost"]]:
            a1 = correr(ANTES, orden)
            d = correr(DESPUES, orden)
            a2 = correr(ANTES, orden)
            texto = " ".join(orden)
            if a1 != a2:
                inestables += 1
                print(f"  inestable (ANTES cambia solo): {texto}")
            elif d != a1:
                distintas += 1
                print(f"  DISTINTA: {texto}")
                with open(f"/tmp/distinta-{distintas}.txt", "w") as f:
                    f.write(f"{texto}\n--- antes\n{a1}\n--- después\n{d}\n")
            else:
                iguales += 1
    print(f"iguales {iguales}, distintas {distintas}, inestables {inestables}")
    sys.exit(1 if distintas else 0)


main()
