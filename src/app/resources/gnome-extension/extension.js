// Tells clickpath where GNOME's cursor is while it records. A caller of Start() on the session bus gets
// each move of the cursor as a call of moved(x, y) on its object /clickpath/cursor (org.clickpath.Cursor), in
// the layout's logical pixels, until it calls Stop() or leaves the bus. Nothing is sent while nobody asked.
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

const TRACKER_XML = `<node>
  <interface name="org.clickpath.CursorTracker">
    <method name="Start"/>
    <method name="Stop"/>
  </interface>
</node>`;

export default class ClickpathCursor extends Extension {
    enable() {
        this._callers = new Map(); // unique bus name -> the name watch that ends its reports when it leaves
        this._tracker = global.backend.get_cursor_tracker();
        this._moved = 0;
        this._object = Gio.DBusExportedObject.wrapJSObject(TRACKER_XML, this);
        this._object.export(Gio.DBus.session, '/org/clickpath/CursorTracker');
    }

    disable() {
        for (const caller of [...this._callers.keys()])
            this._forget(caller);
        this._object.unexport();
        this._object = null;
        this._tracker = null;
    }

    StartAsync(parameters, invocation) {
        const caller = invocation.get_sender();
        if (!this._callers.has(caller)) {
            this._callers.set(caller, Gio.bus_watch_name_on_connection(Gio.DBus.session, caller,
                Gio.BusNameWatcherFlags.NONE, null, () => this._forget(caller)));
        }
        if (!this._moved)
            this._moved = this._tracker.connect('position-invalidated', () => this._report());
        invocation.return_value(null);
        this._report(caller); // where it stands now
    }

    StopAsync(parameters, invocation) {
        this._forget(invocation.get_sender());
        invocation.return_value(null);
    }

    _forget(caller) {
        const watch = this._callers.get(caller);
        if (watch === undefined)
            return;
        Gio.bus_unwatch_name(watch);
        this._callers.delete(caller);
        if (this._callers.size === 0 && this._moved) {
            this._tracker.disconnect(this._moved);
            this._moved = 0;
        }
    }

    _report(only) {
        const [x, y] = global.get_pointer();
        for (const caller of only ? [only] : this._callers.keys()) {
            Gio.DBus.session.call(caller, '/clickpath/cursor', 'org.clickpath.Cursor', 'moved',
                new GLib.Variant('(dd)', [x, y]), null, Gio.DBusCallFlags.NO_AUTO_START, -1, null, null);
        }
    }
}
