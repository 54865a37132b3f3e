// node offline_test.mjs WEB_DIR GOLDEN_DIR: the pages without a server and
// without network. kalorix.html copied alone into an empty folder and opened
// as file:// runs from the title to the theory, whose canvas shows the golden
// pixels, rings the bell from its own files and asks for no file beside
// itself; served, the page and the introduction start again from the service
// worker once the server is gone.
import { copyFileSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';
import { launch, serve } from './cdp.mjs';
import { pngPixels } from './png_pixels.mjs';

const [webDir, goldenDir] = process.argv.slice(2);
const failures = [];
const check = (ok, what) => { if (!ok) failures.push(what); };
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
const browser = await launch();
const { send, evaluate } = browser;
const folder = mkdtempSync(join(tmpdir(), 'offline-page-'));
let server = null;

async function waitFor(expression, what, seconds = 30) {
    const until = Date.now() + seconds * 1000;
    for (;;) {
        const value = await evaluate(expression).catch(() => null);  // a page in navigation has no context
        if (value) return value;
        if (Date.now() > until) throw new Error(`waited ${seconds} s in vain for ${what}`);
        await sleep(50);
    }
}
async function enter() {
    await send('Input.dispatchKeyEvent', { type: 'keyDown', key: 'Enter', code: 'Enter', windowsVirtualKeyCode: 13, text: '\r' });
    await send('Input.dispatchKeyEvent', { type: 'keyUp', key: 'Enter', code: 'Enter', windowsVirtualKeyCode: 13 });
}
const tab = async () => {
    await send('Input.dispatchKeyEvent', { type: 'keyDown', key: 'Tab', code: 'Tab', windowsVirtualKeyCode: 9 });
    await send('Input.dispatchKeyEvent', { type: 'keyUp', key: 'Tab', code: 'Tab', windowsVirtualKeyCode: 9 });
};
let boxesSeen = 0;
async function answerBox() {
    await waitFor(`KxPage.boxes > ${boxesSeen} && document.getElementById('box').open`, 'the next box');
    boxesSeen = await evaluate('KxPage.boxes');
}
async function canvasDiffers(golden) {
    const rgba = await evaluate(`(() => { const d = document.getElementById('picture').getContext('2d')
        .getImageData(0, 0, 1024, 768).data; let s = ''; for (let i = 0; i < d.length; i += 32768)
        s += String.fromCharCode.apply(null, d.subarray(i, i + 32768)); return btoa(s); })()`);
    const bytes = Buffer.from(rgba, 'base64');
    let n = 0;
    for (let p = 0; p < golden.length; ++p)
        if (((bytes[4 * p] << 16) | (bytes[4 * p + 1] << 8) | bytes[4 * p + 2]) !== golden[p]) ++n;
    return n;
}

try {
    await send('Page.enable');
    await send('Runtime.enable');
    await send('Network.enable');

    // Alone in a folder, from the disk: the theory with the proposed values.
    copyFileSync(join(webDir, 'kalorix.html'), join(folder, 'kalorix.html'));
    const page = pathToFileURL(join(folder, 'kalorix.html')).href;
    await send('Page.navigate', { url: page });
    await waitFor('typeof KxPage === "object" && KxPage.firstWait > 0', 'the title from file://');
    const theory = readFileSync(join(goldenDir, 'expected', 'k02_theory_proposed', 'transcript.jsonl'), 'utf8')
        .trim().split('\n').map((line) => JSON.parse(line));
    const messages = theory.filter((r) => r.kind === 'message');
    // The bell at the maximum comes from the page's own files.
    await evaluate(`{ const ring = KxPage.bell; KxPage.bell = (bytes) => { window.rang = String.fromCharCode(...bytes.slice(0, 4)); ring(bytes); }; }`);
    await enter();  // the title
    for (let i = 0; i < messages.length - 1 + theory.filter((r) => r.kind === 'input').length; ++i) {
        await answerBox();
        await enter();
    }
    await answerBox();  // the question: theory or experiment
    const question = messages.at(-1);
    for (let b = question.default; b < question.answer; ++b) await tab();
    await enter();
    const golden = pngPixels(readFileSync(join(goldenDir, 'expected', 'k02_theory_proposed', 'theory.png'))).pixels;
    let last = -1;
    for (const until = Date.now() + 90000; Date.now() < until; await sleep(500))
        if ((last = await canvasDiffers(golden)) === 0) break;
    check(last === 0, `file://: the theory's canvas differs from the golden screen in ${last} pixels`);
    check(await evaluate('window.rang') === 'RIFF', `file://: the bell got ${await evaluate('window.rang')}, not a WAV file`);
    const elsewhere = await evaluate(`performance.getEntriesByType('resource').map((e) => e.name)
        .filter((name) => !name.startsWith('data:'))`);
    check(elsewhere.length === 0, `file://: the page asked for ${elsewhere.join(', ')}`);

    // Served once, then without server and network: from the service worker.
    server = await serve(webDir);
    const base = `http://127.0.0.1:${server.address().port}`;
    await send('Page.navigate', { url: `${base}/kalorix.html` });
    await waitFor('typeof KxPage === "object" && KxPage.firstWait > 0', 'the served title');
    await waitFor('navigator.serviceWorker.ready.then((r) => r.active && r.active.state === "activated")',
                  'the service worker, active');
    server.closeAllConnections();
    await new Promise((r) => server.close(r));
    server = null;
    await send('Network.emulateNetworkConditions', { offline: true, latency: 0, downloadThroughput: -1, uploadThroughput: -1 });
    for (const [address, ready, what] of [[`${base}/kalorix.html`, 'typeof KxPage === "object" && KxPage.firstWait > 0', 'kalorix'],
                                           [`${base}/`, `document.querySelectorAll('a[href$=".html"]').length === 2 &&
                                             [...document.images].every((i) => i.complete && i.naturalWidth > 0)`, 'the introduction']]) {
        await send('Page.navigate', { url: address });
        try {
            await waitFor(ready, `${what} without network`, 20);
        } catch (e) { check(false, e.message); }
    }
} finally {
    await browser.close();
    if (server) server.close();
    rmSync(folder, { recursive: true, force: true });
}
if (failures.length) {
    for (const f of failures) console.log(`FAIL: ${f}`);
    process.exit(1);
}
console.log('offline: kalorix.html alone from file:// shows the golden theory, rings and asks for nothing; served once, it and the introduction start without network');
