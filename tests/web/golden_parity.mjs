// node golden_parity.mjs RUNNER PROGRAM_DIR SCRIPTS_DIR EXPECTED_DIR NAME
// Runs one golden scenario by the WebAssembly scenario runner under Node and
// compares its outputs with the desktop's recorded ones: the same files,
// text grids and transcripts byte for byte, pictures pixel for pixel.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readdirSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pngPixels } from './png_pixels.mjs';

const [runner, programDir, scriptsDir, expectedRoot, name] = process.argv.slice(2);
const program = name.startsWith('d') ? 'diffundo' : 'kalorix';
const out = mkdtempSync(join(tmpdir(), `web-golden-${name}-`));
const problems = [];
// A line "# scenario-run: ARGUMENTS" gives the run more arguments (a lesson),
// split at blanks as tests/golden/check.sh splits them.
const script = join(scriptsDir, `${name}.script`);
const extra = readFileSync(script, 'utf8').split('\n').find((line) => line.startsWith('# scenario-run: '));
const extraArguments = extra ? extra.slice('# scenario-run: '.length).split(/\s+/).filter(Boolean) : [];
try {
    try {
        execFileSync(process.execPath, [runner, program, script, out, '--program-dir', programDir, '--timeout', '0',
                                        ...extraArguments],
                     { stdio: ['ignore', 'inherit', 'inherit'] });
    } catch (error) {
        problems.push(`the runner failed with exit code ${error.status}`);
    }
    const expectedDir = join(expectedRoot, name);
    const expected = readdirSync(expectedDir).sort();
    const actual = readdirSync(out).sort();
    for (const file of actual) if (!expected.includes(file)) problems.push(`${file}: not among the recorded outputs`);
    for (const file of expected) {
        if (!actual.includes(file)) {
            problems.push(`${file}: missing`);
            continue;
        }
        const want = readFileSync(join(expectedDir, file));
        const got = readFileSync(join(out, file));
        if (!file.endsWith('.png')) {
            if (!want.equals(got)) {
                const a = want.toString('utf8').split('\n'), b = got.toString('utf8').split('\n');
                const line = a.findIndex((text, i) => text !== b[i]);
                problems.push(`${file}: differs at line ${line + 1}:\n  desktop: ${a[line]}\n  browser: ${b[line]}`);
            }
            continue;
        }
        const w = pngPixels(want), g = pngPixels(got);
        if (w.width !== g.width || w.height !== g.height) {
            problems.push(`${file}: ${g.width}x${g.height} instead of ${w.width}x${w.height}`);
            continue;
        }
        let differing = 0, first = -1;
        for (let i = 0; i < w.pixels.length; ++i) {
            if (w.pixels[i] !== g.pixels[i]) {
                if (first < 0) first = i;
                ++differing;
            }
        }
        if (differing > 0) {
            const hex = (v) => v.toString(16).padStart(6, '0');
            problems.push(`${file}: ${differing} pixels differ, the first at (${first % w.width}, ` +
                          `${Math.floor(first / w.width)}): desktop ${hex(w.pixels[first])}, browser ${hex(g.pixels[first])}`);
        }
    }
} finally {
    rmSync(out, { recursive: true, force: true });
}
if (problems.length > 0) {
    console.log(`${name}:\n${problems.join('\n')}`);
    process.exit(1);
}
console.log(`${name}: the browser's outputs equal the desktop's`);
