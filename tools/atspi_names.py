# The controls of the program's active window as assistive tools see them (AT-SPI), with
# the number of controls without a name. Run by tools/atspi-check.sh.
import pyatspi
def walk(acc, out):
    try:
        role = acc.getRoleName(); name = acc.name; st = acc.getState()
    except Exception:
        return
    if role in ('table cell','list item','page tab'):  # the items of a control, named by their text
        return
    if st.contains(pyatspi.STATE_FOCUSABLE) or role in ('push button','toggle button','combo box','text','table','list'):
        out.append((role, name))
    for i in range(acc.childCount):
        try: walk(acc.getChildAtIndex(i), out)
        except Exception: pass
for app in pyatspi.Registry.getDesktop(0):
    if app is None or 'vexo' not in (app.name or '').lower(): continue
    for win in app:
        if not win.getState().contains(pyatspi.STATE_ACTIVE): continue
        out=[]; walk(win, out)
        print('== %s: %d Bedienelemente, ohne Namen: %d' % (win.name, len(out), sum(1 for r,n in out if not n.strip())))
        print('   ' + '; '.join('%s "%s"' % (r, n) for r,n in out))
