// node page_test.mjs WEB_DIR GOLDEN_DIR: the pages in headless Chromium as a
// person uses them, with clicks and keys. kalorix by keys alone from the title
// through the input boxes (their proposed values) to the theory, whose canvas
// must show the desktop's golden pixels and whose text a screen reader must
// find in the accessibility tree, then a help page from the menu bar (the
// page zoomed to 200 %) and Quit; bad input gets the desktop's message; an
// experiment's trials are announced once each; diffundo stands still while
// F12 is held and shows its statistics, in pixels and as text; a lesson in
// the page's address runs the theory at once.
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { differing, openSession, sleep } from './page_session.mjs';
import { pngPixels } from './png_pixels.mjs';

const [webDir, goldenDir] = process.argv.slice(2);
const records = (name) => readFileSync(join(goldenDir, 'expected', name, 'transcript.jsonl'), 'utf8')
    .trim().split('\n').map((line) => JSON.parse(line));
const session = await openSession(webDir, {
    explain: `JSON.stringify({ boxes: KxPage.boxes, open: document.getElementById('box').open,
        text: document.getElementById('box').innerText.slice(0, 200), focused: document.activeElement.outerHTML.slice(0, 80) })`,
});
const { send, evaluate, base, check, waitFor, key, enter, clickAt, clickOn, canvasPixels } = session;
const alt = (letter) => key(letter, letter.toUpperCase().charCodeAt(0), { modifiers: 1 });

// The page as Chromium hands it to assistive tools.
async function readerNodes() { return (await send('Accessibility.getFullAXTree')).nodes.filter((n) => !n.ignored); }
const spaced = (text) => text.replace(/\s+/g, ' ').trim();
const nodeName = (node) => node.name?.value ?? '';
const nodeProperty = (node, name) => node.properties?.find((p) => p.name === name)?.value.value;
// A screen reader's text: the tree's text nodes in order, blanks as one.
async function readerText() {
    return spaced((await readerNodes()).filter((n) => n.role?.value === 'StaticText').map(nodeName).join(' '));
}
// Waits until the reader's text holds every wanted line (texts or patterns); the missing ones fail.
async function readerReads(wanted, what, seconds = 15) {
    const until = Date.now() + seconds * 1000;
    let missing;
    for (;;) {
        const text = await readerText();
        missing = wanted.filter((w) => (typeof w === 'string' ? !text.includes(spaced(w)) : !w.test(text)));
        if (missing.length === 0 || Date.now() > until) break;
        await sleep(200);
    }
    check(missing.length === 0, `${what}: a screen reader misses ${missing.map(String).join(' / ')}`);
}
// The text rows a golden screen shows, blank ones left out.
const shownLines = (scenario, snapshot) => readFileSync(join(goldenDir, 'expected', scenario, `${snapshot}.txt`), 'utf8')
    .split('\n').map(spaced).filter(Boolean);
async function pictureName() {
    return nodeName((await readerNodes()).find((n) => n.role?.value === 'image') ?? {});
}
// Whether nothing sticks out of the window: the page, the picture and the given element.
const fitsTheWindow = (element) => evaluate(`(() => { const w = document.documentElement.clientWidth,
    h = document.documentElement.clientHeight, inside = (e) => { const r = e.getBoundingClientRect();
    return r.left >= 0 && r.top >= 0 && r.right <= w + 0.5 && r.bottom <= h + 0.5; };
    return document.documentElement.scrollWidth <= w && document.documentElement.scrollHeight <= h &&
           inside(document.getElementById('picture')) && inside(${element}); })()`);
// The next box (counted by the page), its text and the field's proposal.
let boxesSeen = 0;
async function nextBox() {
    const box = await waitFor(`KxPage.boxes > ${boxesSeen} && document.getElementById('box').open &&
        ({ text: document.querySelector('#box pre').textContent,
           field: document.querySelector('#box input') ? document.querySelector('#box input').value : null,
           buttons: [...document.querySelectorAll('#box button')].map((b) => b.textContent),
           focused: document.activeElement ? document.activeElement.textContent : '' })`, 'the next box');
    boxesSeen = await evaluate('KxPage.boxes');
    return box;
}
async function open(program) {
    boxesSeen = 0;
    await send('Page.navigate', { url: `${base}/${program}.html` });
    await waitFor('typeof KxPage === "object" && KxPage.firstPicture > 0', `${program}'s title screen`);
}
// The title (a click), the quit hint and the introduction pages (Return on the default button).
async function startUp(program, introductions, byKeys = false) {
    await open(program);
    await sleep(1000);  // as a person looks at the title first
    if (byKeys) await enter(); else await clickAt(500, 400);
    const hint = await nextBox();
    check(hint.text === 'Beenden nur mit QUIT!', `${program}: the quit hint reads "${hint.text}"`);
    check(hint.focused === 'OK', `${program}: the quit hint's keyboard is at "${hint.focused}"`);
    await enter();
    for (let i = 0; i < introductions; ++i) { await nextBox(); await enter(); }
}

await session.run(async () => {
    await send('Page.enable');
    await send('Runtime.enable');
    await send('Accessibility.enable');
    // What the live region was given, each text as often as it was given.
    await send('Page.addScriptToEvaluateOnNewDocument', { source: `window.heard = [];
        document.addEventListener('DOMContentLoaded', () => new MutationObserver((changes) => {
            for (const change of changes) for (const node of change.addedNodes) window.heard.push(node.textContent);
        }).observe(document.getElementById('announcement'), { childList: true, subtree: true }));` });
    // kalorix by keys alone: the proposed values, the theory, the golden pixels.
    const theory = records('k02_theory_proposed');
    const inputs = theory.filter((r) => r.kind === 'input');
    await startUp('kalorix', theory.filter((r) => r.kind === 'message').length - 2, true);
    for (const input of inputs) {
        const box = await nextBox();
        check(box.text === input.prompt.split('|').join('\n'), `input box shows "${box.text}", not "${input.prompt}"`);
        check(box.field === input.default, `${input.prompt}: proposes "${box.field}", the desktop "${input.default}"`);
        check(input.answer.replace(',', '.') === input.default.replace(',', '.'), `${input.prompt}: the golden run typed another value`);
        await enter();
    }
    const choice = await nextBox();
    const question = theory.filter((r) => r.kind === 'message').at(-1);
    check(JSON.stringify(choice.buttons) === JSON.stringify(question.buttons.map((b) => b.trim() || b)),
          `the question's buttons: ${choice.buttons}`);
    check(choice.focused === choice.buttons[question.default - 1], `the question's keyboard is at "${choice.focused}"`);
    for (let b = question.default; b < question.answer; ++b) await key('Tab', 9);
    const chosen = await evaluate('document.activeElement.textContent');
    check(chosen === choice.buttons[question.answer - 1], `Tab goes to "${chosen}"`);
    await enter();
    const golden = pngPixels(readFileSync(join(goldenDir, 'expected', 'k02_theory_proposed', 'theory.png'))).pixels;
    let last = -1;
    const until = Date.now() + 90000;
    while (Date.now() < until) {
        last = differing(await canvasPixels(), golden);
        if (last === 0) break;
        await sleep(500);
    }
    check(last === 0, `the theory's canvas differs from the golden screen in ${last} pixels`);
    // What the screen shows, as text; the summary said once.
    await readerReads([...shownLines('k02_theory_proposed', 'theory'),
                       'Thermisches Gleichgewicht nach dem Übergang von 113 aus 150 höherenergetischen Teilchen'], 'the theory');
    const curves = await pictureName();
    check(curves.startsWith('Entropiekurven von Raum A, Raum B und dem Gesamtsystem; Maximum bei 113'),
          `the picture is called "${curves}"`);
    const summaries = await evaluate(`window.heard.filter((t) => t.startsWith('Thermisches Gleichgewicht')).length`);
    check(summaries === 1, `the summary was announced ${summaries} times`);
    // Return ends the theory's wait; the menu is the program's again.
    await enter();
    await sleep(500);
    // A help page from the menu bar, with the desktop's text.
    const help = records('k10_help_pages');
    const question_at = help.findIndex((r) => r.kind === 'message' && r.text.includes('Was haben Sie vor'));
    const firstHelp = help.find((r, i) => i > question_at && r.kind === 'message');
    await alt('h');
    await sleep(100);
    const hilfe = (await readerNodes()).find((n) => n.role?.value === 'menuitem' && nodeName(n) === 'HILFE');
    check(hilfe && nodeProperty(hilfe, 'expanded') === true, 'Alt+H: no expanded menu item HILFE in the tree');
    const focusedEntry = (await readerNodes()).find((n) => n.role?.value !== 'RootWebArea' && nodeProperty(n, 'focused') === true);
    check(focusedEntry && focusedEntry.role.value === 'menuitem' && nodeName(focusedEntry) === 'Info',
          `Alt+H: the keyboard is at ${JSON.stringify(focusedEntry?.name)}`);
    await enter();
    // The theory's last wait holds the choice until Return, and says so below the picture.
    const status = await waitFor(`document.getElementById('status').textContent`, 'the status line');
    check(status.includes('Info') && status.includes('<RETURN>'), `the status line says "${status}"`);
    await enter();
    const page = await nextBox();
    check(page.text === firstHelp.text.split('|').join('\n'), 'HILFE / Info does not show the desktop\'s text');
    // Zoomed to 200 %: half as many CSS pixels in the same window.
    await send('Emulation.setDeviceMetricsOverride', { width: 512, height: 450, deviceScaleFactor: 2, mobile: false });
    await sleep(300);
    check(await fitsTheWindow(`document.getElementById('box')`), 'at 200 % the help page does not fit the window');
    await enter();
    // The pages after it: HILFE / Info shows the introduction again.
    for (let i = 1; i < theory.filter((r) => r.kind === 'message').length - 2; ++i) { await nextBox(); await enter(); }
    await alt('e');
    check(await fitsTheWindow(`document.querySelector('#menubar .title.open .entries')`), 'at 200 % EXTRAS does not fit the window');
    await key('Escape', 27);
    await send('Emulation.clearDeviceMetricsOverride');
    // Quit from DESK by its access letter, held until Return like every choice in this wait: the program ends.
    await alt('d');
    await key('q', 81, { text: 'q' });
    await waitFor(`document.getElementById('status').textContent.startsWith('Gewählt: Quit')`, 'DESK / Quit held');
    await enter();
    await waitFor('KxPage.hasEnded === true', 'the end after DESK / Quit');

    // Bad input: the desktop's German message.
    const refusals = records('k09_refusals');
    const bad = refusals.findIndex((r) => r.kind === 'input' && r.answer === 'abc');
    await startUp('kalorix', theory.filter((r) => r.kind === 'message').length - 2);
    await nextBox();
    await send('Input.insertText', { text: 'abc' });
    await evaluate(`(() => { const f = document.querySelector('#box input'); f.value = 'abc'; })()`);
    await enter();
    const refusal = await nextBox();
    check(refusal.text === refusals[bad + 1].text, `"abc" is answered with "${refusal.text}"`);

    // An experiment from the address: each trial announced once, its table read as shown.
    await send('Page.navigate', { url: 'about:blank' });  // from kalorix.html, only its "#" part would change
    await send('Page.navigate', { url: `${base}/kalorix.html#werte=400,1200,150,150,0.4,2&analyse=experiment&sofort&ohne-titel` });
    const trial = async (number) => {
        const said = await waitFor(`window.heard && window.heard.find((t) => t.startsWith('Versuch Nr.${number}:'))`, `trial ${number}'s announcement`);
        const [, countA, countB] = said.match(/N_A = (\d+), N_B = (\d+)/);
        await readerReads([`Versuch Nr.${number}`, `N_A = ${countA} `, `N_B = ${countB} `, 'Nächster Versuch: Taste!'], `trial ${number}`);
    };
    await trial(1);
    await enter();
    await trial(2);
    await sleep(500);
    const told = await evaluate(`[1, 2].map((n) => window.heard.filter((t) => t.startsWith('Versuch Nr.' + n + ':')).length)`);
    check(JSON.stringify(told) === '[1,1]', `trials 1 and 2 were announced ${told} times`);

    // diffundo: the simulation, then AUSGABE / Statistik zeigen by the keyboard.
    const diffundo = records('d01_simulation_statistics');
    await startUp('diffundo', diffundo.filter((r) => r.kind === 'message').length - 1);
    const atoms = await nextBox();
    const asked = diffundo.find((r) => r.kind === 'input');
    check(atoms.field === asked.default, `diffundo proposes ${atoms.field} atoms, the desktop ${asked.default}`);
    await enter();
    await sleep(1500);
    // F12 held stands for the held right button: the dice stands still.
    const stepsShown = () => evaluate(`document.getElementById('status').textContent`);
    await send('Input.dispatchKeyEvent', { type: 'rawKeyDown', key: 'F12', code: 'F12', windowsVirtualKeyCode: 123 });
    await sleep(600);
    const held = await stepsShown();
    await sleep(800);
    const stillHeld = await stepsShown();
    await send('Input.dispatchKeyEvent', { type: 'keyUp', key: 'F12', code: 'F12', windowsVirtualKeyCode: 123 });
    await sleep(800);
    const released = await stepsShown();
    check(held === stillHeld && released !== stillHeld, `F12 held and released: "${held}", "${stillHeld}", "${released}"`);
    await send('Input.dispatchKeyEvent', { type: 'keyDown', key: 'a', code: 'KeyA', modifiers: 1, windowsVirtualKeyCode: 65 });
    await send('Input.dispatchKeyEvent', { type: 'keyUp', key: 'a', code: 'KeyA', modifiers: 1, windowsVirtualKeyCode: 65 });
    const opened = await evaluate(`document.querySelector('#menubar .title.open > span')?.textContent`);
    check(opened === 'AUSGABE', `Alt+A opens ${opened}`);
    const entries = await evaluate(`[...document.querySelectorAll('#menubar .title.open .entry > span:first-child')].map((e) => e.textContent)`);
    const target = entries.findIndex((t) => t === 'Statistik zeigen');
    check(target >= 0, `AUSGABE has no "Statistik zeigen": ${entries}`);
    for (let i = 0; i < target; ++i) await key('ArrowDown', 40);
    const highlighted = await evaluate(`document.querySelector('#menubar .entry.current > span')?.textContent`);
    check(highlighted === 'Statistik zeigen', `the arrows highlight ${highlighted}`);
    await enter();
    // The statistics display's headline rows, as the desktop draws them.
    const statistics = pngPixels(readFileSync(join(goldenDir, 'expected', 'd01_simulation_statistics', 'statistics.png'))).pixels;
    const rows = 40;
    let headline = -1;
    const later = Date.now() + 30000;
    while (Date.now() < later) {
        const shown = await canvasPixels();
        headline = differing(shown.subarray(0, 1024 * rows), statistics.subarray(0, 1024 * rows));
        if (headline === 0) break;
        await sleep(200);
    }
    check(headline === 0, `diffundo's statistics headline differs in ${headline} pixels`);
    const escaped = (line) => line.replace(/[.*+?^${}()|[\]\\]/g, '\\$&');
    await readerReads(shownLines('d01_simulation_statistics', 'statistics').map((line) =>
        new RegExp(escaped(line).replace(/\d+ Versuchen/, '\\d+ Versuchen'))), 'diffundo\'s statistics');
    const bars = await pictureName();
    check(bars.startsWith('Balken der relativen Häufigkeiten für m = 0 bis 100 neben g(N,m)'), `the statistics picture is called "${bars}"`);

    // A lesson in the address: the theory runs at once with its values, as
    // the desktop's golden lesson shows it (that one after title and introduction).
    await send('Page.navigate', { url: `${base}/kalorix.html#werte=300,700,200,100,0.4,2&analyse=theorie&sofort&ohne-titel` });
    const lessonTheory = pngPixels(readFileSync(join(goldenDir, 'expected', 'k18_lesson_at_once', 'theory.png'))).pixels;
    let lessonLast = -1;
    const lessonUntil = Date.now() + 60000;
    while (Date.now() < lessonUntil) {
        if (await evaluate('typeof KxPage === "object" && KxPage.firstPicture > 0')) {
            lessonLast = differing(await canvasPixels(), lessonTheory);
            if (lessonLast === 0) break;
        }
        await sleep(500);
    }
    check(lessonLast === 0, `the lesson's theory differs from the golden screen in ${lessonLast} pixels`);
    // Handed on, the link is this page's own with the values in use.
    boxesSeen = await evaluate('KxPage.boxes || 0');
    await clickOn(`[...document.querySelectorAll('#menubar .title > span')].find((e) => e.textContent === 'EXTRAS')`);
    await clickOn(`[...document.querySelectorAll('#menubar .title.open .entry')].find((e) => e.textContent.startsWith('Diese Werte'))`);
    const handedOn = await nextBox();
    check(handedOn.text.includes(`${base}/kalorix.html#werte=300,700,200,100,0.4,2&analyse=theorie`),
          `the handed-on link is not this page's: ${handedOn.text}`);
    await enter();
}, 'the pages behave as the desktop');
