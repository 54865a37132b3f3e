// node page_test.mjs WEB_DIR GOLDEN_DIR: the pages in headless Chromium as a
// person uses them, with clicks and keys. kalorix from the title through the
// input boxes (their proposed values) to the theory, whose canvas must show
// the desktop's golden pixels, then a help page from the menu bar; bad input
// gets the desktop's message; diffundo up to its statistics display; a
// lesson in the page's address runs the theory at once.
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { launch, serve } from './cdp.mjs';
import { pngPixels } from './png_pixels.mjs';

const [webDir, goldenDir] = process.argv.slice(2);
const records = (name) => readFileSync(join(goldenDir, 'expected', name, 'transcript.jsonl'), 'utf8')
    .trim().split('\n').map((line) => JSON.parse(line));
const failures = [];
const check = (ok, what) => { if (!ok) failures.push(what); };

const server = await serve(webDir);
const base = `http://127.0.0.1:${server.address().port}`;
const browser = await launch();
const { send, evaluate } = browser;
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

async function waitFor(expression, what, seconds = 30) {
    const until = Date.now() + seconds * 1000;
    for (;;) {
        const value = await evaluate(expression);
        if (value) return value;
        if (Date.now() > until) {
            const state = await evaluate(`JSON.stringify({ boxes: KxPage.boxes, open: document.getElementById('box').open,
                text: document.getElementById('box').innerText.slice(0, 200), focused: document.activeElement.outerHTML.slice(0, 80) })`);
            throw new Error(`waited ${seconds} s in vain for ${what}; the page: ${state}`);
        }
        await sleep(50);
    }
}
async function key(name, code, text) {
    await send('Input.dispatchKeyEvent', { type: 'keyDown', key: name, code: name, windowsVirtualKeyCode: code, text });
    await send('Input.dispatchKeyEvent', { type: 'keyUp', key: name, code: name, windowsVirtualKeyCode: code });
}
const enter = () => key('Enter', 13, '\r');
async function clickAt(x, y) {
    for (const type of ['mousePressed', 'mouseReleased'])
        await send('Input.dispatchMouseEvent', { type, x, y, button: 'left', buttons: type === 'mousePressed' ? 1 : 0, clickCount: 1 });
}
async function clickOn(expression) {
    const r = await evaluate(`(() => { const e = ${expression}; if (!e) return null; const b = e.getBoundingClientRect();
                               return { x: b.x + b.width / 2, y: b.y + b.height / 2 }; })()`);
    if (!r) throw new Error(`nothing to click: ${expression}`);
    await clickAt(r.x, r.y);
}
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
async function canvasPixels() {
    const rgba = await evaluate(`(() => { const d = document.getElementById('picture').getContext('2d')
        .getImageData(0, 0, 1024, 768).data; let s = ''; for (let i = 0; i < d.length; i += 32768)
        s += String.fromCharCode.apply(null, d.subarray(i, i + 32768)); return btoa(s); })()`);
    const bytes = Buffer.from(rgba, 'base64');
    const pixels = new Uint32Array(1024 * 768);
    for (let p = 0; p < pixels.length; ++p) pixels[p] = (bytes[4 * p] << 16) | (bytes[4 * p + 1] << 8) | bytes[4 * p + 2];
    return pixels;
}
function differing(a, b) {
    let n = 0;
    for (let i = 0; i < a.length; ++i) if (a[i] !== b[i]) ++n;
    return n;
}
async function open(program) {
    boxesSeen = 0;
    await send('Page.navigate', { url: `${base}/${program}.html` });
    await waitFor('typeof KxPage === "object" && KxPage.firstPicture > 0', `${program}'s title screen`);
}
// The title (a click), the quit hint and the introduction pages (Return on the default button).
async function startUp(program, introductions) {
    await open(program);
    await sleep(1000);  // as a person looks at the title first
    await clickAt(500, 400);
    const hint = await nextBox();
    check(hint.text === 'Beenden nur mit QUIT!', `${program}: the quit hint reads "${hint.text}"`);
    await enter();
    for (let i = 0; i < introductions; ++i) { await nextBox(); await enter(); }
}

try {
    await send('Page.enable');
    await send('Runtime.enable');
    // kalorix: the proposed values, the theory, the golden pixels.
    const theory = records('k02_theory_proposed');
    const inputs = theory.filter((r) => r.kind === 'input');
    await startUp('kalorix', theory.filter((r) => r.kind === 'message').length - 2);
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
    await clickOn(`document.querySelectorAll('#box button')[${question.answer - 1}]`);
    const golden = pngPixels(readFileSync(join(goldenDir, 'expected', 'k02_theory_proposed', 'theory.png'))).pixels;
    let last = -1;
    const until = Date.now() + 90000;
    while (Date.now() < until) {
        last = differing(await canvasPixels(), golden);
        if (last === 0) break;
        await sleep(500);
    }
    check(last === 0, `the theory's canvas differs from the golden screen in ${last} pixels`);
    // Return ends the theory's wait; the menu is the program's again.
    await enter();
    await sleep(500);
    // A help page from the menu bar, with the desktop's text.
    const help = records('k10_help_pages');
    const question_at = help.findIndex((r) => r.kind === 'message' && r.text.includes('Was haben Sie vor'));
    const firstHelp = help.find((r, i) => i > question_at && r.kind === 'message');
    await clickOn(`[...document.querySelectorAll('#menubar .title > span')].find((e) => e.textContent === 'HILFE')`);
    await clickOn(`[...document.querySelectorAll('#menubar .title.open .entry')].find((e) => e.textContent.startsWith('Info'))`);
    // The theory's last wait holds the choice until Return, and says so below the picture.
    const status = await waitFor(`document.getElementById('status').textContent`, 'the status line');
    check(status.includes('Info') && status.includes('<RETURN>'), `the status line says "${status}"`);
    await enter();
    const page = await nextBox();
    check(page.text === firstHelp.text.split('|').join('\n'), 'HILFE / Info does not show the desktop\'s text');
    await enter();

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

    // diffundo: the simulation, then AUSGABE / Statistik zeigen by the keyboard.
    const diffundo = records('d01_simulation_statistics');
    await startUp('diffundo', diffundo.filter((r) => r.kind === 'message').length - 1);
    const atoms = await nextBox();
    const asked = diffundo.find((r) => r.kind === 'input');
    check(atoms.field === asked.default, `diffundo proposes ${atoms.field} atoms, the desktop ${asked.default}`);
    await enter();
    await sleep(1500);
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
} catch (error) {
    failures.push(String(error.stack || error));
} finally {
    // What the page showed when something went wrong, for a person to look at.
    if (failures.length && process.env.PAGE_TEST_SHOT) {
        const shot = await send('Page.captureScreenshot', { format: 'png' });
        (await import('node:fs')).writeFileSync(process.env.PAGE_TEST_SHOT, Buffer.from(shot.data, 'base64'));
    }
    await browser.close();
    server.close();
}
if (failures.length) {
    console.log(failures.join('\n'));
    console.log(`0 passed, 1 failed`);
    process.exit(1);
}
console.log('the pages behave as the desktop: 1 passed, 0 failed');
