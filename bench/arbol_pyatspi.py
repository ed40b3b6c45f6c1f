#!/usr/bin/python3
"""The outline ax-tree prints, walked the way a Python user would: pyatspi over the same
application, with the same listing rules (texts or a key role, every level, no cap), printed
as one JSON line with the node count and the number of elements walked."""
import json
import sys

import pyatspi

CLAVE = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_ENTRY, pyatspi.ROLE_TEXT, pyatspi.ROLE_LINK,
    pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_CHECK_MENU_ITEM, pyatspi.ROLE_RADIO_MENU_ITEM,
    pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_RADIO_BUTTON,
    pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_TABLE_CELL, pyatspi.ROLE_LABEL,
    pyatspi.ROLE_PASSWORD_TEXT, pyatspi.ROLE_SLIDER, pyatspi.ROLE_SPIN_BUTTON,
    pyatspi.ROLE_COLUMN_HEADER, pyatspi.ROLE_TABLE_COLUMN_HEADER, pyatspi.ROLE_STATIC,
}
MARCABLES = {pyatspi.ROLE_CHECK_BOX, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_RADIO_BUTTON,
             pyatspi.ROLE_CHECK_MENU_ITEM, pyatspi.ROLE_RADIO_MENU_ITEM}
NUMERICOS = {pyatspi.ROLE_SLIDER, pyatspi.ROLE_SPIN_BUTTON, pyatspi.ROLE_SCROLL_BAR,
             pyatspi.ROLE_PROGRESS_BAR, pyatspi.ROLE_LEVEL_BAR}


def valor(acc, rol, estados):
    if rol in MARCABLES:
        return "1" if estados.contains(pyatspi.STATE_CHECKED) else "0"
    if rol in NUMERICOS:
        try:
            return str(acc.queryValue().currentValue)
        except NotImplementedError:
            pass
    try:
        return acc.queryText().getText(0, -1)
    except NotImplementedError:
        return ""


def recorrer(acc, nivel, hacia, visitados):
    visitados[0] += 1
    rol = acc.getRole()
    estados = acc.getState()
    nodo = {"nivel": nivel, "rol": acc.getRoleName()}
    titulo = acc.name
    texto = valor(acc, rol, estados)
    descripcion = acc.description
    if titulo:
        nodo["titulo"] = titulo
    if texto:
        nodo["valor"] = texto[:400]
    if descripcion:
        nodo["descripcion"] = descripcion
    nodo["habilitado"] = estados.contains(pyatspi.STATE_ENABLED)
    if estados.contains(pyatspi.STATE_FOCUSED):
        nodo["enfocado"] = True
    try:
        e = acc.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        if e.x != -2**31 and e.width >= 0:
            nodo.update(x=e.x, y=e.y, ancho=e.width, alto=e.height)
    except NotImplementedError:
        pass
    try:
        accion = acc.queryAction()
        nodo["acciones"] = [accion.getName(i) for i in range(accion.nActions)]
    except NotImplementedError:
        nodo["acciones"] = []
    if titulo or texto or descripcion or rol in CLAVE or nivel == 0:
        hacia.append(nodo)
    for i in range(acc.childCount):
        hijo = acc.getChildAtIndex(i)
        if hijo is not None:
            recorrer(hijo, nivel + 1, hacia, visitados)


def main():
    buscado = sys.argv[1].lower()
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and buscado in (app.name or "").lower():
            nodos, visitados = [], [0]
            recorrer(app, 0, nodos, visitados)
            print(json.dumps({"total": len(nodos), "visitados": visitados[0], "elementos": nodos},
                             ensure_ascii=False))
            return
    sys.exit("no app")


main()
