// The page around a program compiled to WebAssembly: what its runtime
// (common/web/web_runtime.cpp) calls through KxPage, and the browser's events
// kept for its polls. Menus, boxes and keys behave as in the desktop window.
'use strict';
var Module = { preRun: [], canvas: null };

const KxPage = (() => {
    const canvas = document.getElementById('picture');
    const context = canvas.getContext('2d');
    const bar = document.getElementById('menubar');
    const statusLine = document.getElementById('status');
    const box = document.getElementById('box');
    const screenText = document.getElementById('screen-text');
    const announcement = document.getElementById('announcement');
    const keys = [];
    const selections = [];
    let buttons = 0;
    let pressed = 0;         // pressed since the last poll: a quick click between two polls still counts
    let closed = false;
    let waking = null;       // the runtime's wake-up while it sleeps
    let wakeTimer = 0;
    let menus = [];          // {title, element, label, list, entries: [{index, element, kind, text}]}
    let openMenu = -1, current = -1;
    let offer = 0;           // 0 everything, 1 picture services only, 2 nothing
    let answer = -1, answerText = '';
    let audio = null, bellBuffer = null;
    const channel = new MessageChannel();
    let yielded = null;
    channel.port1.onmessage = () => { const go = yielded; yielded = null; if (go) go(); };

    function wake() {
        if (!waking) return;
        const go = waking;
        waking = null;
        clearTimeout(wakeTimer);
        // After the event and its default action (a click's focus): the
        // program may open a box that must keep the focus.
        setTimeout(go, 0);
    }

    // The picture as large as the window allows at 4:3, measured in device
    // pixels: where a whole number of them fits each picture pixel, the
    // largest such number, without smoothing, so every pixel is a sharp
    // square; only a window too small for the picture scales it down, smoothed.
    // Full screen is for the projector: there the picture fills the screen as
    // on the desktop, smoothed where the scale is not whole.
    let ratioWatch = null;
    function fit() {
        const stage = document.getElementById('stage');
        const ratio = window.devicePixelRatio || 1;
        const room = Math.min(stage.clientWidth * ratio / 1024, stage.clientHeight * ratio / 768);
        const scale = room >= 1 && !document.fullscreenElement ? Math.floor(room) : room > 0 ? room : 1;
        canvas.style.transform = '';
        canvas.style.width = `${1024 * scale / ratio}px`;
        canvas.style.height = `${768 * scale / ratio}px`;
        canvas.style.imageRendering = Number.isInteger(scale) ? 'pixelated' : 'auto';
        // Centred, the picture may begin between two device pixels: moved onto the next one.
        const at = canvas.getBoundingClientRect();
        const dx = Math.round(at.left * ratio) / ratio - at.left, dy = Math.round(at.top * ratio) / ratio - at.top;
        if (Math.abs(dx) > 1e-3 || Math.abs(dy) > 1e-3) canvas.style.transform = `translate(${dx}px, ${dy}px)`;
        // A window moved to a screen of another density fires no resize.
        if (ratioWatch) ratioWatch.removeEventListener('change', fit);
        ratioWatch = window.matchMedia(`(resolution: ${ratio}dppx)`);
        ratioWatch.addEventListener('change', fit);
    }
    window.addEventListener('resize', fit);

    function accessLetter(text) {
        const at = text.indexOf('&');
        return at >= 0 && at + 1 < text.length ? text[at + 1].toLowerCase() : '';
    }
    function labelled(element, text) {
        const at = text.indexOf('&');
        element.textContent = '';
        if (at < 0 || at + 1 >= text.length) { element.append(text); return; }
        const letter = document.createElement('u');
        letter.textContent = text[at + 1];
        element.append(text.slice(0, at), letter, text.slice(at + 2));
    }

    function entryEnabled(entry, menu) {
        if (offer === 2) return false;
        if (offer === 1) return entry.kind !== 'p';
        return true;
    }
    function menuEnabled(menu) {
        if (offer === 2) return false;
        return offer === 0 || menu.entries.some((e) => !e.separator && e.kind !== 'p');
    }
    // A menu that would reach past the window's right edge (a zoomed page)
    // moves left as far as it must.
    function keepInWindow(menu) {
        menu.list.style.left = '0px';
        const over = menu.list.getBoundingClientRect().right - document.documentElement.clientWidth;
        if (over > 0) menu.list.style.left = `${-Math.min(over, menu.element.offsetLeft)}px`;
    }
    function refresh() {
        menus.forEach((menu, m) => {
            const open = m === openMenu;
            menu.element.classList.toggle('open', open);
            menu.element.classList.toggle('disabled', !menuEnabled(menu));
            menu.label.setAttribute('aria-expanded', open ? 'true' : 'false');
            menu.label.setAttribute('aria-disabled', menuEnabled(menu) ? 'false' : 'true');
            menu.entries.forEach((entry, e) => {
                if (!entry.separator) {
                    entry.element.classList.toggle('disabled', !entryEnabled(entry, menu));
                    entry.element.setAttribute('aria-disabled', entryEnabled(entry, menu) ? 'false' : 'true');
                    entry.element.classList.toggle('current', open && e === current);
                }
            });
            if (open) keepInWindow(menu);
        });
        // The keyboard's place is where a screen reader reads: the highlighted entry.
        if (openMenu >= 0) {
            const menu = menus[openMenu];
            const target = current >= 0 ? menu.entries[current].element : menu.label;
            if (document.activeElement !== target) target.focus({ preventScroll: true });
        }
    }
    function closeMenus() { openMenu = -1; current = -1; refresh(); canvas.focus(); }
    function choose(entry, menu) {
        if (!entry || entry.separator || !entryEnabled(entry, menu)) return;
        closeMenus();
        selections.push(entry.index);
        wake();
    }
    function step(menu, from, by) {
        const n = menu.entries.length;
        for (let i = 1; i <= n; ++i) {
            const k = (from + by * i + n * 2) % n;
            if (!menu.entries[k].separator) return k;
        }
        return -1;
    }

    // Shortcuts after the tab, as Qt's portable texts ("Ctrl+S", "F11", "Ctrl++").
    function shortcutOf(event) {
        let key = event.key;
        if (key === ' ') key = 'Space';
        else if (key === 'ArrowRight') key = 'Right';
        else if (key === 'ArrowLeft') key = 'Left';
        else if (key.length === 1) key = key.toUpperCase();
        return (event.ctrlKey ? 'Ctrl+' : '') + key;
    }
    function keyText(event) {
        const special = { Enter: '\r', Escape: '\x1b', Backspace: '\b', Tab: '\t', ArrowLeft: 'Left', ArrowRight: 'Right',
                          ArrowUp: 'Up', ArrowDown: 'Down', Delete: 'Del', Insert: 'Ins', Home: 'Home', End: 'End',
                          PageUp: 'PgUp', PageDown: 'PgDown' };
        if (special[event.key] !== undefined) return special[event.key];
        if (/^F\d+$/.test(event.key)) return event.key;
        if (event.key.length === 1 && !event.ctrlKey && !event.altKey && !event.metaKey) return event.key;
        return '';
    }

    document.addEventListener('keydown', (event) => {
        unlockAudio();
        if (event.key === 'F12') {
            // Held, it is the held right button (diffundo's pause), as in the desktop window.
            event.preventDefault();
            if (!event.repeat && !box.open) { buttons |= 2; pressed |= 2; wake(); }
            return;
        }
        if (box.open) return;  // the box's own keys
        if (event.key === 'Escape' && document.fullscreenElement) {
            // Ends full screen, as the browser's own Escape does; no key for the program.
            event.preventDefault();
            document.exitFullscreen().catch(() => {});
            return;
        }
        if (openMenu >= 0) {
            const menu = menus[openMenu];
            event.preventDefault();
            if (event.key === 'Escape') closeMenus();
            else if (event.key === 'ArrowDown') { current = step(menu, current, 1); refresh(); }
            else if (event.key === 'ArrowUp') { current = step(menu, current < 0 ? 0 : current, -1); refresh(); }
            else if (event.key === 'ArrowRight' || event.key === 'ArrowLeft') {
                openMenu = (openMenu + (event.key === 'ArrowRight' ? 1 : menus.length - 1)) % menus.length;
                current = step(menus[openMenu], -1, 1); refresh();
            } else if (event.key === 'Enter') choose(menu.entries[current], menu);
            else {
                const found = menu.entries.find((e) => !e.separator && accessLetter(e.text) === event.key.toLowerCase());
                if (found) choose(found, menu);
            }
            return;
        }
        if (event.altKey && event.key.length === 1) {
            // The titles carry no access letter: their first letter opens them.
            const letterOf = (title) => accessLetter(title) || title[0].toLowerCase();
            const m = menus.findIndex((menu) => letterOf(menu.title) === event.key.toLowerCase() && menuEnabled(menu));
            if (m >= 0) { event.preventDefault(); openMenu = m; current = step(menus[m], -1, 1); refresh(); }
            return;
        }
        if (event.ctrlKey || /^F\d+$/.test(event.key)) {
            const wanted = shortcutOf(event);
            for (const menu of menus) {
                for (const entry of menu.entries) {
                    if (entry.shortcut && (entry.shortcut === wanted || (wanted === 'Ctrl+=' && entry.shortcut === 'Ctrl++'))) {
                        event.preventDefault();
                        choose(entry, menu);
                        return;
                    }
                }
            }
            if (event.ctrlKey) return;
        }
        const text = keyText(event);
        if (text) { event.preventDefault(); keys.push(text); wake(); }
    });

    const bits = [1, 4, 2];  // DOM's left, middle, right as the programs' left, middle, right
    canvas.addEventListener('mousedown', (event) => { unlockAudio(); closeMenus(); buttons |= bits[event.button] || 0; pressed |= bits[event.button] || 0; wake(); });
    window.addEventListener('mouseup', (event) => { buttons &= ~(bits[event.button] || 0); wake(); });
    document.addEventListener('keyup', (event) => { if (event.key === 'F12') { buttons &= ~2; wake(); } });
    // A key or a button released in another window never reaches the page.
    window.addEventListener('blur', () => { buttons = 0; holding = false; clearTimeout(touchTimer); wake(); });
    canvas.addEventListener('contextmenu', (event) => event.preventDefault());
    // A tablet needs no mouse: a tap is a click of the left button; a finger
    // held still on the picture holds the right button until it is lifted.
    // The left button is pressed only when the finger lifts, so a long press
    // is never a click as well; a click between two polls is kept by `pressed`.
    const longPressMs = 500;
    let touchTimer = 0, holding = false;
    canvas.addEventListener('touchstart', (event) => {
        event.preventDefault();  // no mouse events made up from it, no scrolling or zooming
        unlockAudio();
        closeMenus();
        if (event.touches.length > 1) return;
        clearTimeout(touchTimer);
        holding = false;
        touchTimer = setTimeout(() => { holding = true; buttons |= 2; pressed |= 2; wake(); }, longPressMs);
    }, { passive: false });
    const touchEnds = (event) => {
        event.preventDefault();
        if (event.touches.length > 0) return;
        clearTimeout(touchTimer);
        if (holding) buttons &= ~2;
        else if (event.type === 'touchend') pressed |= 1;
        holding = false;
        wake();
    };
    canvas.addEventListener('touchend', touchEnds, { passive: false });
    canvas.addEventListener('touchcancel', touchEnds, { passive: false });
    // The check mark of "Vollbild" follows the browser, which also ends full screen by itself.
    function markFullScreen() {
        for (const menu of menus)
            for (const e of menu.entries) if (e.kind === 'f') KxPage.menuChecked(e.index, !!document.fullscreenElement);
    }
    document.addEventListener('fullscreenchange', () => { markFullScreen(); fit(); });
    window.addEventListener('pagehide', () => { closed = true; wake(); });
    document.addEventListener('mousedown', (event) => { if (!bar.contains(event.target) && openMenu >= 0) closeMenus(); });

    function unlockAudio() {
        if (!audio && window.AudioContext) audio = new AudioContext();
        if (audio && audio.state === 'suspended') audio.resume();
    }

    function buttonRow(texts, onPress) {
        const row = document.createElement('div');
        row.className = 'buttons';
        return { row, buttons: texts.map((text, i) => {
            const b = document.createElement('button');
            b.type = 'button';
            b.textContent = text;
            b.addEventListener('click', () => onPress(i));
            row.append(b);
            return b;
        }) };
    }
    function openBox(caption) {
        box.textContent = '';
        const head = document.createElement('div');
        head.className = 'caption';
        head.id = 'box-caption';
        head.style.fontWeight = 'bold';
        head.style.marginBottom = '8px';
        head.textContent = caption;
        box.append(head);
        answer = -1;
        KxPage.boxes = (KxPage.boxes || 0) + 1;  // tells one box from the next
        closeMenus();
    }
    function finish(value) {
        answer = value;
        box.close();
        canvas.focus();
        wake();
    }

    return {
        setTitle(text) { document.title = text.trim() || document.title; },
        showMenu(entries, kinds) {
            bar.textContent = '';
            menus = [];
            let menu = null;
            entries.forEach((text, index) => {
                if (!menu) {
                    if (text.endsWith('|')) {
                        const title = text.slice(0, -1).trim();
                        const element = document.createElement('div');
                        element.className = 'title';
                        element.setAttribute('role', 'none');
                        const label = document.createElement('span');
                        labelled(label, title);
                        label.setAttribute('role', 'menuitem');
                        label.setAttribute('aria-haspopup', 'menu');
                        label.setAttribute('aria-expanded', 'false');
                        label.setAttribute('aria-keyshortcuts', `Alt+${(accessLetter(title) || title[0]).toUpperCase()}`);
                        label.tabIndex = -1;
                        const list = document.createElement('div');
                        list.className = 'entries';
                        list.setAttribute('role', 'menu');
                        list.setAttribute('aria-label', title.replace('&', ''));
                        element.append(label, list);
                        bar.append(element);
                        menu = { title, element, label, list, entries: [] };
                        const m = menus.length;
                        label.addEventListener('mousedown', (event) => {
                            event.preventDefault();
                            if (!menuEnabled(menus[m])) return;
                            openMenu = openMenu === m ? -1 : m; current = -1; refresh();
                        });
                        label.addEventListener('mouseenter', () => { if (openMenu >= 0 && openMenu !== m) { openMenu = m; current = -1; refresh(); } });
                        menus.push(menu);
                    }
                    return;
                }
                if (text === '') { menu = null; return; }
                const element = document.createElement('div');
                if (/^-+$/.test(text)) {
                    element.className = 'separator';
                    element.setAttribute('role', 'separator');
                    menu.list.append(element);
                    menu.entries.push({ index, element, separator: true, text });
                    return;
                }
                const tab = text.indexOf('\t');
                const shown = tab >= 0 ? text.slice(0, tab) : text;
                element.className = 'entry';
                element.setAttribute('role', 'menuitem');
                element.tabIndex = -1;
                const label = document.createElement('span');
                labelled(label, shown);
                element.append(label);
                const entry = { index, element, kind: kinds[index], text: shown, shortcut: tab >= 0 ? text.slice(tab + 1) : '' };
                if (entry.shortcut) {
                    const s = document.createElement('span');
                    s.textContent = entry.shortcut;
                    s.setAttribute('aria-hidden', 'true');
                    element.append(s);
                    element.setAttribute('aria-keyshortcuts', entry.shortcut.replace('Ctrl', 'Control'));
                }
                const owner = menu;
                element.addEventListener('mouseup', () => choose(entry, owner));
                element.addEventListener('mouseenter', () => { current = owner.entries.indexOf(entry); refresh(); });
                menu.list.append(element);
                menu.entries.push(entry);
            });
            markFullScreen();
            refresh();
        },
        offerMenus(value) { offer = value; refresh(); },
        menuChecked(index, on) {
            for (const menu of menus) {
                for (const e of menu.entries) {
                    if (e.index !== index) continue;
                    e.element.classList.toggle('checked', on);
                    e.element.setAttribute('role', 'menuitemcheckbox');
                    e.element.setAttribute('aria-checked', on ? 'true' : 'false');
                }
            }
        },
        takeSelection() { return selections.length ? selections.shift() : -1; },
        takeKey() { return keys.length ? keys.shift() : null; },
        mouseButtons() { const state = buttons | pressed; pressed = 0; return state; },
        closed() { return closed; },
        present(buffer, pointer, width, height, x, y, w, h) {
            const image = new ImageData(new Uint8ClampedArray(buffer, pointer, width * height * 4), width, height);
            context.putImageData(image, 0, 0, x, y, w, h);
            if (!KxPage.firstPicture) { KxPage.firstPicture = performance.now(); }
        },
        status(text) { statusLine.textContent = text; },
        // The screen for assistive tools: the pictures' sentences name the
        // canvas; every line of the description is a paragraph of its own.
        describe(picture, text) {
            canvas.setAttribute('aria-label', picture || 'Bild');
            screenText.replaceChildren(...text.split('\n').filter((line) => line !== '').map((line) => {
                const p = document.createElement('p');
                p.textContent = line;
                return p;
            }));
        },
        announce(text) { announcement.textContent = text; },
        openMessage(caption, style, text, defaultButton, captions) {
            openBox(caption);
            const pre = document.createElement('pre');
            pre.id = 'box-text';
            pre.tabIndex = 0;  // a long page scrolls: by the arrow keys too, once Tab is on it
            pre.textContent = text.split('|').join('\n');
            box.append(pre);
            let texts = captions === '' ? ['OK'] : captions.split('|').map((t) => t.trim() || t);
            const { row, buttons: pushes } = buttonRow(texts, (i) => finish(i + 1));
            box.append(row);
            // Escape answers with the last button, as a press of it would.
            box.oncancel = (event) => { event.preventDefault(); finish(texts.length); };
            box.onkeydown = null;
            box.showModal();
            const preselected = defaultButton < 1 || defaultButton > texts.length ? texts.length : defaultButton;
            pushes[preselected - 1].focus();
        },
        openInput(caption, prompt, hint, text) {
            openBox(caption);
            const question = document.createElement('pre');
            question.id = 'box-text';
            question.textContent = prompt.split('|').join('\n');
            box.append(question);
            if (hint) {
                const aside = document.createElement('div');
                aside.className = 'hint';
                aside.textContent = hint.split('|').join('\n');
                box.append(aside);
            }
            const field = document.createElement('input');
            field.type = 'text';
            field.setAttribute('aria-labelledby', 'box-text');
            field.value = text;
            box.append(field);
            const { row } = buttonRow(['OK', 'Abbrechen'], (i) => { answerText = field.value; finish(i === 0 ? 1 : 0); });
            box.append(row);
            field.addEventListener('keydown', (event) => {
                // The Return answers the box, not the program's next key wait.
                if (event.key === 'Enter') { event.preventDefault(); event.stopPropagation(); answerText = field.value; finish(1); }
            });
            box.oncancel = (event) => { event.preventDefault(); finish(0); };
            box.showModal();
            field.focus();
            field.select();
        },
        dialogAnswer() { return answer; },
        dialogText() { return answerText; },
        closeDialog() { if (box.open) box.close(); },
        // The sound's bytes from the page's own files: a file:// page fetches nothing.
        bell(bytes) {
            unlockAudio();
            if (!audio) return;
            const play = () => { const source = audio.createBufferSource(); source.buffer = bellBuffer; source.connect(audio.destination); source.start(); };
            if (bellBuffer) { play(); return; }
            audio.decodeAudioData(bytes.slice().buffer).then((decoded) => { bellBuffer = decoded; play(); }).catch(() => {});
        },
        download(bytes, name) {
            const link = document.createElement('a');
            link.href = URL.createObjectURL(new Blob([bytes]));
            link.download = name;
            link.click();
            setTimeout(() => URL.revokeObjectURL(link.href), 10000);
        },
        print() { window.print(); },
        // The picture as PNG to the clipboard; done(1) once it is there, done(0)
        // where the browser refuses: no Clipboard API (a page not from https or
        // this computer) or no permission.
        copy(done) {
            const refused = () => done(0);
            if (!navigator.clipboard || !navigator.clipboard.write || !window.ClipboardItem) { setTimeout(refused, 0); return; }
            canvas.toBlob((blob) => {
                if (!blob) { refused(); return; }
                navigator.clipboard.write([new ClipboardItem({ 'image/png': blob })]).then(() => done(1), refused);
            }, 'image/png');
        },
        // The box that follows shows the same text: a refused clipboard loses nothing.
        copyText(text) {
            if (navigator.clipboard) navigator.clipboard.writeText(text).catch(() => {});
        },
        toggleFullScreen() {
            if (document.fullscreenElement) document.exitFullscreen();
            else document.documentElement.requestFullscreen().catch(() => {});
        },
        projectorRemembered() { try { return localStorage.getItem('kalorix-diffundo-projector') === '1'; } catch (e) { return false; } },
        rememberProjector(on) { try { localStorage.setItem('kalorix-diffundo-projector', on ? '1' : '0'); } catch (e) { /* private mode */ } },
        ended() { closeMenus(); bar.textContent = ''; KxPage.hasEnded = true; },
        wait(ms, wakeUp) {
            // The first sleep: the title is drawn and waits for the user.
            if (!KxPage.firstWait) KxPage.firstWait = performance.now();
            waking = wakeUp;
            wakeTimer = setTimeout(wake, ms);
        },
        yieldOnce(wakeUp) { yielded = wakeUp; channel.port2.postMessage(0); },
        fit,
        started: performance.now(),
    };
})();
KxPage.fit();
// From a web server the pages stay in the browser for the way without
// network; a file:// page has its files already.
if (/^https?:$/.test(location.protocol) && navigator.serviceWorker) {
    window.addEventListener('load', () => navigator.serviceWorker.register('service-worker.js').catch(() => {}));
}
