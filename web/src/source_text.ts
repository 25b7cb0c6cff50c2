// Texto_Fuente: the source's text in CodeMirror, coloured by the
// assembler's own reading of each line (the module's colourLine), with a
// margin of breakpoint dots and line numbers, and the line at PC marked.
// Its marks ride with their lines as the text is edited. As the desktop's
// properties do, the element carries data-linea-pc and
// data-puntos-de-parada, and tells the line at PC through its description.
import { cursorLineEnd, cursorLineStart, defaultKeymap, history, historyKeymap, insertNewline, selectLineEnd, selectLineStart } from '@codemirror/commands';
import { HighlightStyle, StreamLanguage, syntaxHighlighting } from '@codemirror/language';
import { EditorState, RangeSet, StateEffect, StateField, type Extension } from '@codemirror/state';
import { Decoration, type DecorationSet, EditorView, GutterMarker, gutter, keymap, lineNumbers } from '@codemirror/view';
import { tags } from '@lezer/highlight';
import type { OrbenModule } from '@module/orben_web.js';

// The assembler's kinds of words, in its order, as the names the
// language gives its tokens.
const kKinds = ['mnemonic', 'register', 'directive', 'function', 'number', 'name', 'comment'];

function tukaLanguage(orben: OrbenModule): StreamLanguage<{ spans: number[] }> {
  return StreamLanguage.define<{ spans: number[] }>({
    name: 'tuka2',
    startState: () => ({ spans: [] }),
    token(stream, state) {
      if (stream.sol()) state.spans = orben.colourLine(stream.string);
      const { spans } = state;
      for (let i = 0; i < spans.length; i += 3) {
        if (spans[i] === stream.pos) {
          stream.pos += Math.max(1, spans[i + 1]);
          return kKinds[spans[i + 2]] ?? null;
        }
        if (spans[i] > stream.pos) {
          stream.pos = spans[i];
          return null;
        }
      }
      stream.skipToEnd();
      return null;
    },
    tokenTable: {
      mnemonic: tags.keyword,
      register: tags.variableName,
      directive: tags.meta,
      function: tags.meta,
      number: tags.number,
      name: tags.labelName,
      comment: tags.comment,
    },
  });
}

// The desktop editor's colours: instructions dark blue and bold,
// registers purple, directives and functions teal, numbers orange, names
// brown, comments green and italic.
const kColours = HighlightStyle.define([
  { tag: tags.keyword, color: 'rgb(0, 0, 160)', fontWeight: 'bold' },
  { tag: tags.variableName, color: 'rgb(128, 0, 128)' },
  { tag: tags.meta, color: 'rgb(0, 128, 128)' },
  { tag: tags.number, color: 'rgb(176, 80, 0)' },
  { tag: tags.labelName, color: 'rgb(128, 64, 0)' },
  { tag: tags.comment, color: 'rgb(0, 128, 0)', fontStyle: 'italic' },
]);

class Dot extends GutterMarker {
  toDOM(): Node {
    const dot = document.createElement('span');
    dot.className = 'punto-de-parada';
    return dot;
  }
}
const kDot = new Dot();

// Breakpoints: a line's start, set or taken away; or every line anew.
const toggleDot = StateEffect.define<{ pos: number; on: boolean }>({ map: (v, m) => ({ pos: m.mapPos(v.pos), on: v.on }) });
const allDots = StateEffect.define<number[]>();

const dots = StateField.define<RangeSet<GutterMarker>>({
  create: () => RangeSet.empty,
  update(set, tr) {
    set = set.map(tr.changes);
    for (const e of tr.effects) {
      if (e.is(allDots)) {
        set = RangeSet.of(e.value.map((pos) => kDot.range(pos)), true);
      } else if (e.is(toggleDot)) {
        set = set.update({ filter: (from) => from !== e.value.pos });
        if (e.value.on) set = set.update({ add: [kDot.range(e.value.pos)], sort: true });
      }
    }
    return set;
  },
});

// The start of the line at PC; -1 for none.
const setPCLine = StateEffect.define<number>();
const kPCMark = Decoration.line({ class: 'cm-linea-pc' });

const pcLine = StateField.define<DecorationSet>({
  create: () => Decoration.none,
  update(marks, tr) {
    marks = marks.map(tr.changes);
    for (const e of tr.effects) {
      if (e.is(setPCLine)) marks = e.value >= 0 ? Decoration.set([kPCMark.range(e.value)]) : Decoration.none;
    }
    return marks;
  },
  provide: (f) => EditorView.decorations.from(f),
});

export interface SourceTextEvents {
  edited(): void;
  marginClicked(line: number): void;
}

export class SourceText {
  readonly view: EditorView;
  private lineAtPC = 0;
  private lastSpoken = 0;
  private spokenTimer: number | null = null;

  constructor(
    private readonly element: HTMLElement,
    private readonly orben: OrbenModule,
    private readonly events: SourceTextEvents,
  ) {
    this.view = new EditorView({ parent: element, state: this.fresh('') });
    this.describe();
  }

  private extensions(): Extension[] {
    const margin = {
      mousedown: (view: EditorView, line: { from: number }) => {
        this.events.marginClicked(view.state.doc.lineAt(line.from).number);
        return true;
      },
    };
    return [
      gutter({ class: 'cm-puntos', markers: (v) => v.state.field(dots), initialSpacer: () => kDot, domEventHandlers: margin }),
      lineNumbers({ domEventHandlers: margin }),
      history(),
      // Enter breaks the line and nothing more, and Home and End go to the
      // line's very ends, as in the desktop's editor.
      keymap.of([
        { key: 'Enter', run: insertNewline },
        { key: 'Home', run: cursorLineStart, shift: selectLineStart },
        { key: 'End', run: cursorLineEnd, shift: selectLineEnd },
        ...defaultKeymap,
        ...historyKeymap,
      ]),
      tukaLanguage(this.orben),
      syntaxHighlighting(kColours),
      dots,
      pcLine,
      // The editor's own styles go in under the page's policy by this nonce.
      EditorView.cspNonce.of('orben-editor'),
      EditorView.contentAttributes.of({ 'aria-label': 'Programa fuente', 'aria-multiline': 'true' }),
      EditorView.updateListener.of((update) => {
        if (update.docChanged) this.events.edited();
        if (update.docChanged || update.transactions.some((t) => t.effects.length > 0)) this.describe();
      }),
    ];
  }

  private fresh(text: string): EditorState {
    return EditorState.create({ doc: text, extensions: this.extensions() });
  }

  get text(): string {
    return this.view.state.doc.toString();
  }

  // A new text: no marks, no undo, the cursor at its start.
  setText(text: string): void {
    this.view.setState(this.fresh(text));
    this.lineAtPC = 0;
    this.describe();
  }

  cursorLine(): number {
    return this.view.state.doc.lineAt(this.view.state.selection.main.head).number;
  }

  moveCursorTo(line: number, column: number): void {
    const doc = this.view.state.doc;
    const at = doc.line(Math.max(1, Math.min(line, doc.lines)));
    const pos = Math.min(at.to, at.from + Math.max(0, column - 1));
    this.view.dispatch({ selection: { anchor: pos }, scrollIntoView: true });
    this.view.focus();
  }

  breakpointLines(): number[] {
    const lines: number[] = [];
    const doc = this.view.state.doc;
    for (let it = this.view.state.field(dots).iter(); it.value; it.next()) lines.push(doc.lineAt(it.from).number);
    return [...new Set(lines)].sort((a, b) => a - b);
  }

  private lineStart(line: number): number | null {
    const doc = this.view.state.doc;
    return line >= 1 && line <= doc.lines ? doc.line(line).from : null;
  }

  setBreakpoint(line: number, on: boolean): void {
    const pos = this.lineStart(line);
    if (pos !== null) this.view.dispatch({ effects: toggleDot.of({ pos, on }) });
  }

  setBreakpointLines(lines: number[]): void {
    const starts = lines.map((l) => this.lineStart(l)).filter((p): p is number => p !== null);
    this.view.dispatch({ effects: allDots.of([...new Set(starts)].sort((a, b) => a - b)) });
  }

  // The line at PC marked and brought into sight; the cursor stays.
  setLineAtPC(line: number): void {
    if (line === this.lineAtPC) return;
    this.lineAtPC = line;
    const pos = this.lineStart(line);
    const effects: StateEffect<unknown>[] = [setPCLine.of(pos ?? -1)];
    if (pos !== null) effects.push(EditorView.scrollIntoView(pos, { y: 'nearest' }));
    if (pos === null) this.lineAtPC = 0;
    this.view.dispatch({ effects });
  }

  // The properties, and the line at PC told at most four times a second.
  private describe(): void {
    this.element.dataset.lineaPc = String(this.lineAtPC);
    this.element.dataset.puntosDeParada = this.breakpointLines().join(',');
    if (this.spokenTimer !== null) return;
    const wait = Math.max(0, this.lastSpoken + 250 - performance.now());
    this.spokenTimer = window.setTimeout(() => {
      this.spokenTimer = null;
      this.lastSpoken = performance.now();
      const spoken = this.lineAtPC === 0 ? 'Sin línea en PC' : `Línea ${this.lineAtPC} en PC`;
      this.view.contentDOM.setAttribute('aria-description', spoken);
    }, wait);
  }
}
