// node extras_test.mjs WEB_DIR GOLDEN_DIR: the EXTRAS menu in headless
// Chromium, each entry chosen from the menu bar as a person would, and what
// it leaves behind checked where it lands: the downloaded picture against the
// canvas, the data against the desktop's bytes, the paper through the print
// style sheet and a PDF, the clipboard granted and refused, full screen in
// and out, projector colours across a reload; then a tablet's tap and long
// press, and diffundo's pace from its keys.
import { mkdtempSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { differing, openSession, sleep } from './page_session.mjs';
import { pngPixels } from './png_pixels.mjs';

const [webDir, goldenDir] = process.argv.slice(2);
const session = await openSession(webDir);
const { send, evaluate, base, check, waitFor, key, clickOn, canvasPixels } = session;
const downloads = mkdtempSync(join(tmpdir(), 'web-extras-downloads-'));
const golden = (scenario, file) => readFileSync(join(goldenDir, 'expected', scenario, file));

// An entry of the open menu, or of any menu.
const entryNamed = (start, menu = '.title.open') => `[...document.querySelectorAll('#menubar ${menu} .entry')].find((e) => e.textContent.startsWith(${JSON.stringify(start)}))`;
// An EXTRAS entry by the mouse, from the menu bar.
async function extra(start) {
    await clickOn(`[...document.querySelectorAll('#menubar .title > span')].find((e) => e.textContent === 'EXTRAS')`);
    await clickOn(entryNamed(start));
}
const checked = (start) => evaluate(`${entryNamed(start, '')}.getAttribute('aria-checked') === 'true'`);
const mostFrequent = (pixels) => {
    const counts = new Map();
    for (const p of pixels) counts.set(p, (counts.get(p) || 0) + 1);
    return [...counts].reduce((a, b) => (b[1] > a[1] ? b : a))[0];
};
async function canvasBecomes(expected, what, seconds = 60) {
    let last = -1;
    const until = Date.now() + seconds * 1000;
    await waitFor('typeof KxPage === "object" && KxPage.firstPicture > 0', `${what}: a page`);
    while (Date.now() < until) {
        last = differing(await canvasPixels(), expected);
        if (last === 0) return;
        await sleep(300);
    }
    check(false, `${what}: the canvas differs from the expected picture in ${last} pixels`);
}
// The next finished download whose name matches.
async function download(pattern, what) {
    const until = Date.now() + 20000;
    while (Date.now() < until) {
        const found = readdirSync(downloads).find((name) => pattern.test(name));
        if (found) return { name: found, bytes: readFileSync(join(downloads, found)) };
        await sleep(100);
    }
    throw new Error(`${what}: no download named ${pattern} in ${readdirSync(downloads)}`);
}
const boxText = () => evaluate(`document.getElementById('box').open && document.querySelector('#box pre').textContent`);
const statusText = () => evaluate(`document.getElementById('status').textContent`);
const stamp = '\\d{4}-\\d\\d-\\d\\d-\\d\\d-\\d\\d';
const theoryLesson = `${base}/kalorix.html#werte=400,1200,150,150,0.4,2&analyse=theorie&sofort&ohne-titel`;

await session.run(async () => {
    await send('Page.enable');
    await send('Runtime.enable');
    await send('Browser.setDownloadBehavior', { behavior: 'allow', downloadPath: downloads, eventsEnabled: true });
    // Headless Chromium has no window with the focus; the clipboard wants one.
    await send('Emulation.setFocusEmulationEnabled', { enabled: true });
    // A tablet's screen: touch events reach the page.
    await send('Emulation.setTouchEmulationEnabled', { enabled: true, maxTouchPoints: 1 });
    // window.print would wait for a person; counted instead.
    await send('Page.addScriptToEvaluateOnNewDocument', { source: 'window.printed = 0; window.print = () => { window.printed += 1; };' });
    await send('Page.navigate', { url: theoryLesson });
    const theory = pngPixels(golden('k02_theory_proposed', 'theory.png')).pixels;
    await canvasBecomes(theory, 'the theory from the link');

    // Sharp at every size: whole device pixels per picture pixel where there is room, unsmoothed.
    for (const [width, height, ratio, pixels] of [[1400, 1200, 1.5, 2], [1100, 900, 1.25, 1], [1300, 1100, 1, 1], [800, 600, 1, 0]]) {
        await send('Emulation.setDeviceMetricsOverride', { width, height, deviceScaleFactor: ratio, mobile: false });
        await sleep(300);  // the page's resize
        const shown = await waitFor(`new Promise((done) => requestAnimationFrame(() => { const c = document.getElementById('picture'),
            r = c.getBoundingClientRect(); done({ w: r.width * ${ratio}, h: r.height * ${ratio}, x: r.left * ${ratio},
            y: r.top * ${ratio}, smooth: getComputedStyle(c).imageRendering }); }))`, 'the picture\'s size');
        const at = `${width} x ${height} at ${ratio}`;
        if (pixels > 0) {
            // Layout rounds to 1/64 CSS pixel; the painting snaps to whole device pixels.
            check(Math.abs(shown.w - 1024 * pixels) < 0.05 && Math.abs(shown.h - 768 * pixels) < 0.05 && shown.smooth === 'pixelated',
                  `${at}: the picture is ${shown.w} x ${shown.h} device pixels, ${shown.smooth}`);
            check(Math.abs(shown.x - Math.round(shown.x)) < 0.05 && Math.abs(shown.y - Math.round(shown.y)) < 0.05,
                  `${at}: the picture begins at ${shown.x}, ${shown.y} between device pixels`);
        } else {
            check(shown.w < 1024 && shown.smooth === 'auto', `${at}: the picture is ${shown.w} device pixels wide, ${shown.smooth}`);
        }
    }
    await send('Emulation.clearDeviceMetricsOverride');

    // Saved: a numbered PNG of exactly the canvas's pixels, the data as the desktop's CSV.
    await extra('Bild speichern');
    const picture = await download(new RegExp(`^kalorix-${stamp}-1\\.png$`), 'Bild speichern');
    check(differing(pngPixels(picture.bytes).pixels, await canvasPixels()) === 0, `${picture.name} differs from the canvas`);
    await extra('Daten speichern');
    const data = await download(new RegExp(`^kalorix-${stamp}-2\\.csv$`), 'Daten speichern');
    check(data.bytes.equals(golden('k22_lesson_data', 'kalorix-1.csv')), `${data.name} differs from the desktop's CSV`);

    // Printed: the print dialog; on paper the picture alone, one A4 page across.
    await extra('Bild drucken');
    await waitFor('window.printed === 1', 'the print dialog');
    await send('Emulation.setEmulatedMedia', { media: 'print' });
    const paper = await evaluate(`(() => { const shown = (id) => getComputedStyle(document.getElementById(id)).display !== 'none';
        const r = document.getElementById('picture').getBoundingClientRect();
        return { menubar: shown('menubar'), status: shown('status'), picture: shown('picture'), ratio: r.width / r.height }; })()`);
    check(!paper.menubar && !paper.status && paper.picture && Math.abs(paper.ratio - 4 / 3) < 0.01,
          `printed, the page shows ${JSON.stringify(paper)}`);
    const pdf = Buffer.from((await send('Page.printToPDF', { preferCSSPageSize: true })).data, 'base64').toString('latin1');
    const pages = pdf.match(/\/Type\s*\/Page\b(?!s)/g)?.length;
    const box = pdf.match(/\/MediaBox\s*\[\s*0\s+0\s+([\d.]+)\s+([\d.]+)\s*\]/);
    check(pages === 1, `the PDF has ${pages} pages`);
    check(box && Math.abs(box[1] - 841.9) < 1 && Math.abs(box[2] - 595.3) < 1, `the PDF's page is ${box?.slice(1)} pt, not A4 across`);
    check(/\/Subtype\s*\/Image[^>]*\/Width\s+1024|\/Width\s+1024[^>]*\/Subtype\s*\/Image/.test(pdf), 'the PDF holds no 1024 pixels wide picture');
    await send('Emulation.setEmulatedMedia', { media: '' });

    // Copied where the browser refuses: the German message, then the download it offers.
    await send('Browser.setPermission', { permission: { name: 'clipboard-write' }, setting: 'denied', origin: base });
    await extra('Bild kopieren');
    const refusal = await waitFor(`document.getElementById('box').open && document.querySelector('#box pre').textContent`, 'the refusal');
    check(refusal.startsWith('Das Bild wurde nicht kopiert !'), `a refused copy says "${refusal}"`);
    await key('Enter', 13, { text: '\r' });
    const offered = await download(new RegExp(`^kalorix-${stamp}-3\\.png$`), 'the picture the refusal offers');
    check(differing(pngPixels(offered.bytes).pixels, await canvasPixels()) === 0, `${offered.name} differs from the canvas`);
    // Granted: a PNG of the canvas on the clipboard, and no box.
    await send('Browser.grantPermissions', { permissions: ['clipboardReadWrite', 'clipboardSanitizedWrite'], origin: base });
    await evaluate(`navigator.clipboard.writeText('nothing yet')`);
    await extra('Bild kopieren');
    const clip = await waitFor(`navigator.clipboard.read().then(async (items) => {
        const item = items.find((i) => i.types.includes('image/png'));
        if (!item) return null;
        const bytes = new Uint8Array(await (await item.getType('image/png')).arrayBuffer());
        let s = ''; for (let i = 0; i < bytes.length; i += 32768) s += String.fromCharCode.apply(null, bytes.subarray(i, i + 32768));
        return btoa(s); })`, 'a PNG on the clipboard');
    check(differing(pngPixels(Buffer.from(clip, 'base64')).pixels, await canvasPixels()) === 0, 'the clipboard\'s PNG differs from the canvas');
    check(!(await boxText()), `a granted copy opened a box: ${await boxText()}`);

    // Full screen: entered by the entry, left by Escape, and by the entry again; the check mark follows.
    const full = () => evaluate('document.fullscreenElement === document.documentElement');
    await extra('Vollbild');
    const marked = (on) => `document.fullscreenElement ${on ? '!==' : '==='} null &&
        ${entryNamed('Vollbild', '')}.getAttribute('aria-checked') === '${on}'`;
    await waitFor(marked(true), 'full screen from the entry, with a check mark');
    await key('Escape', 27);
    await waitFor(marked(false), 'the end of full screen by Escape, without the check mark');
    await extra('Vollbild');
    await waitFor(`document.fullscreenElement`, 'full screen again');
    check(await full(), 'full screen holds something else than the whole page');
    // For the projector the picture fills the screen, as the desktop's full screen does.
    await send('Emulation.setDeviceMetricsOverride', { width: 1500, height: 1200, deviceScaleFactor: 1, mobile: false });
    await waitFor(`document.getElementById('picture').getBoundingClientRect().width > 1300 &&
        getComputedStyle(document.getElementById('picture')).imageRendering === 'auto'`, 'the picture filling the full screen');
    await send('Emulation.clearDeviceMetricsOverride');
    await extra('Vollbild');
    await waitFor(`!document.fullscreenElement`, 'the end of full screen by the entry');

    // Projector colours: the picture re-coloured as on the desktop; after a
    // reload drawn in them from the start (its background theirs), the entry
    // checked; switched off, a reload shows the golden theory again.
    const projector = pngPixels(golden('k16_theory_projector', 'projector.png')).pixels;
    await extra('Beamer-Farben');
    await canvasBecomes(projector, 'the theory re-coloured for the projector');
    check(await checked('Beamer-Farben'), '"Beamer-Farben" has no check mark');
    await send('Page.reload');
    await waitFor(`document.getElementById('screen-text').textContent.includes('Weiter ?')`, 'the theory after a reload');
    const shownAfter = mostFrequent(await canvasPixels()), projectorBackground = mostFrequent(projector);
    check(shownAfter === projectorBackground, `after a reload the background is ${shownAfter.toString(16)}, not the projector's ${projectorBackground.toString(16)}`);
    check(await checked('Beamer-Farben'), 'after a reload "Beamer-Farben" has no check mark');
    await extra('Beamer-Farben');
    await waitFor(`localStorage.getItem('kalorix-diffundo-projector') === '0'`, 'the normal colours remembered');
    await send('Page.reload');
    await canvasBecomes(theory, 'the theory after a reload in its own colours');
    check(!(await checked('Beamer-Farben')), 'switched off and reloaded, "Beamer-Farben" is still checked');

    // The help on the extras: the program's page, then what differs in a browser.
    await extra('Hilfe zu den Extras');
    const help = await waitFor(`document.getElementById('box').open && document.querySelector('#box pre').textContent`, 'the help on the extras');
    check(help.startsWith('  EXTRAS: Bild sichern') && help.includes('Im Browser:') && help.includes('Tablet'),
          `the help on the extras reads "${help.slice(0, 300)}"`);
    await key('Enter', 13, { text: '\r' });
    // Closed, the menus are the program's again once the runtime has taken the answer.
    await waitFor(`!document.getElementById('box').open && !document.querySelector('#menubar .title.disabled')`, 'the help closed');

    // A tap answers "Weiter ?" as a click does: the entry chosen meanwhile (HILFE / Info) then runs.
    await waitFor(`document.getElementById('screen-text').textContent.includes('Weiter ?')`, 'the continue prompt');
    await clickOn(`[...document.querySelectorAll('#menubar .title > span')].find((e) => e.textContent === 'HILFE')`);
    await clickOn(entryNamed('Info'));
    await waitFor(`document.getElementById('status').textContent.startsWith('Gewählt: Info')`, 'HILFE / Info held until "Weiter ?" is answered');
    const r = await evaluate(`(() => { const b = document.getElementById('picture').getBoundingClientRect(); return { x: b.x + b.width / 2, y: b.y + b.height / 2 }; })()`);
    const finger = [{ x: r.x, y: r.y, id: 1 }];
    await send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: finger });
    await sleep(100);
    await send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
    await waitFor(`document.getElementById('box').open`, 'the tap to answer "Weiter ?"', 10);

    // kalorix's trials by themselves (Ctrl+A), told below the picture; a tap stops them.
    await send('Page.navigate', { url: 'about:blank' });  // from kalorix.html, only its "#" part would change
    await send('Page.navigate', { url: `${base}/kalorix.html#werte=400,1200,150,150,0.4,2&analyse=experiment&sofort&ohne-titel` });
    const trialShown = async () => Number((await evaluate(`document.getElementById('screen-text').textContent`)).match(/Versuch Nr\.\s*(\d+)/)?.[1]);
    await waitFor(`document.getElementById('screen-text').textContent.includes('Versuch Nr.1 ')`, 'the first trial');
    await key('a', 65, { code: 'KeyA', modifiers: 2 });
    await waitFor(`document.getElementById('status').textContent === 'Experiment: automatisch, 10 Versuche/s - Taste oder Maus hält an'`,
                  'the automatic trials in the status line', 5).catch(async () => check(false, `Ctrl+A: "${await statusText()}"`));
    await sleep(1500);
    const before = await trialShown();
    await sleep(1500);
    const after = await trialShown();
    check(after - before >= 5, `by themselves the trials went from ${before} to ${after} in 1.5 s`);
    await send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: finger });
    await send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
    await waitFor(`document.getElementById('status').textContent === 'Experiment: nächster Versuch mit einer Taste'`,
                  'the tap to stop the trials', 5).catch(async () => check(false, `after a tap: "${await statusText()}"`));

    // diffundo: a long press holds the right button, the dice stands still; the pace from its keys.
    await send('Page.navigate', { url: `${base}/diffundo.html#werte=40&sofort&ohne-titel` });
    await waitFor(`document.getElementById('status').textContent.includes('Schritte')`, 'diffundo running');
    const steps = async () => Number((await statusText()).match(/([\d.]+) Schritte?$/)?.[1].replace(/\./g, ''));
    await send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: finger });
    await sleep(1200);
    const held = await steps();
    await sleep(800);
    const stillHeld = await steps();
    await send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
    await sleep(800);
    const released = await steps();
    check(held === stillHeld && released > stillHeld, `a long press held and released: ${held}, ${stillHeld}, ${released} steps`);
    await key(' ', 32, { code: 'Space', modifiers: 2 });  // Ctrl+Space: pause
    await waitFor(`document.getElementById('status').textContent.includes('angehalten')`, 'the pause in the status line');
    const paused = await steps();
    await sleep(600);
    check(await steps() === paused, 'paused, diffundo went on');
    await key('ArrowRight', 39, { modifiers: 2 });  // Ctrl+Right: one step
    await sleep(800);
    check(await steps() === paused + 1, `a single step after ${paused}: "${await statusText()}"`);
    await key('-', 189, { code: 'Minus', modifiers: 2 });  // Ctrl+-: from full speed to the fastest tempo
    await waitFor(`document.getElementById('status').textContent.startsWith('Tempo: 50000 Schritte/s')`, 'the slower tempo', 5)
        .catch(async () => check(false, `slower: "${await statusText()}"`));
}, 'the EXTRAS behave in the browser as a person expects', () => rmSync(downloads, { recursive: true, force: true }));
