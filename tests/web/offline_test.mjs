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
import { serve } from './cdp.mjs';
import { differing, openSession, sleep } from './page_session.mjs';
import { pngPixels } from './png_pixels.mjs';

const [webDir, goldenDir] = process.argv.slice(2);
const session = await openSession(webDir, { served: false });
const { send, evaluate, check, waitFor, key, enter, canvasPixels } = session;
const folder = mkdtempSync(join(tmpdir(), 'offline-page-'));
let server = null;

let boxesSeen = 0;
async function answerBox() {
    await waitFor(`KxPage.boxes > ${boxesSeen} && document.getElementById('box').open`, 'the next box');
    boxesSeen = await evaluate('KxPage.boxes');
}

await session.run(async () => {
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
    for (let b = question.default; b < question.answer; ++b) await key('Tab', 9);
    await enter();
    const golden = pngPixels(readFileSync(join(goldenDir, 'expected', 'k02_theory_proposed', 'theory.png'))).pixels;
    let last = -1;
    for (const until = Date.now() + 90000; Date.now() < until; await sleep(500))
        if ((last = differing(await canvasPixels(), golden)) === 0) break;
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
}, 'the pages run from a folder and without network', () => {
    if (server) server.close();
    rmSync(folder, { recursive: true, force: true });
});
