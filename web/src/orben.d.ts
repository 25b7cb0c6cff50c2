// The machine's module (src/web/binding.cpp), as the page sees it.
declare module '@module/orben_web.js' {
  export interface MachineState {
    powerOn: boolean;
    stepLamp: boolean;
    stepInterval: number;
    initMemoryAtPowerOn: boolean;
    disassemblerMode: boolean;
    running: boolean;
    flags: string;
    powerCaption: string;
    stepCaption: string;
    disassemblerCaption: string;
    listingRevision: number;
    memoryRevision: number;
    listingSelected: number;
    speedItem: number;
  }
  export interface Box {
    text: string;
    skipRest: boolean;
  }
  export interface Machine {
    togglePower(): void;
    toggleStepMode(): void;
    pressKey(digit: string): void;
    selectAddress(): void;
    selectRegisters(): void;
    storeKeypadValue(): void;
    execute(): void;
    continueExecution(): void;
    initialiseMemory(): void;
    toggleInitMemoryAtPowerOn(): void;
    toggleDisassemblerMode(yes: boolean): void;
    editDisplay(name: string, answer: string): void;
    toggleFlag(letter: string): void;
    chooseSpeed(item: number, accepted: boolean): void;
    openLoad(): void;
    loadChosen(name: string, bytes: Uint8Array): number;
    tick(count: number): number;
    cells(): string[];
    state(): MachineState;
    listingLines(): string[];
    memoryWords(address: number, count: number): string;
    takeMessages(): Box[];
    runFast(maxSteps: number): number;
  }
  export interface Texts {
    speedChoices: string[];
    speedTitle: string;
    speedPrompt: string;
    disassemblerTitle: string;
    disassemblerQuestion: string;
    skipRest: string;
    objectFileTitle: string;
    objectFileFilter: string;
    largestObject: number;
  }
  // A caret of the memory grid: its byte, its area (0 digits, 1 text), its
  // digit (0 high, 1 low; 0 in the text).
  export interface GridCaret {
    byte: number;
    area: number;
    nibble: number;
  }
  // A line of the editor's messages.
  export interface EditorMessage {
    text: string;
    line: number;
    column: number;
    error: boolean;
  }
  export interface IdeState {
    lineAtPC: number;
    canStepBack: boolean;
    matches: boolean;
    steps: number;
    breakpointLines: number[];
    hasProgram: boolean;
  }
  // What the debugging told since the last read; `changes` is what the
  // last step forward or back changed (cells by number, flags by letter,
  // memory words by address).
  export interface Told {
    lineChanged: boolean;
    stepped: boolean;
    stepBackChanged: boolean;
    checks: EditorMessage[];
    changes: { cells: number[]; flags: string[]; words: number[] };
  }
  export interface CheckLine {
    text: string;
    caseIndex: number;
    failed: boolean;
  }
  export interface Ide {
    open(bytes: Uint8Array): string;
    newSource(): void;
    bytesFor(text: string): Uint8Array;
    saved(text: string): void;
    assemble(text: string, name: string, breakpointLines: number[]): { loaded: boolean; messages: EditorMessage[]; breakpointLines: number[]; lineAtPC: number };
    sourceEdited(): void;
    toggleAtLine(line: number): { line: number; set: boolean } | null;
    toggleAtAddress(address: number): { line: number; set: boolean };
    runToLine(line: number): boolean;
    stepBack(): boolean;
    state(): IdeState;
    takeTold(): Told;
    objectLoaded(name: string, bytes: Uint8Array, outcome: number): void;
    checkCases(name: string, bytes: Uint8Array): CheckLine[];
    prepareCase(index: number): boolean;
    memoryRange(): { first: string; last: string };
    memoryObject(first: string, last: string, name: string): { made: boolean; text: string };
    rangeRefusal(first: string, last: string): string;
  }
  export interface OrbenModule {
    Ide: new (machine: Machine) => Ide;
    colourLine(line: string): number[];
    fileWasRead(outcome: number): boolean;
    loadAProgramFirst: string;
    gridMove(machine: Machine, caret: GridCaret, key: string, ctrl: boolean, firstRow: number, visibleRows: number): GridCaret | null;
    gridBack(machine: Machine, caret: GridCaret): GridCaret;
    gridType(machine: Machine, caret: GridCaret, character: string): { caret: GridCaret; changed: boolean } | null;
    gridKeyDown(machine: Machine, caretByte: number): void;
    gridKeyUp(machine: Machine): void;
    Machine: new (seed: number) => Machine;
    cellOf(display: string): number;
    displaySegments(width: number, height: number, digits: number, value: string): number[];
    texts(): Texts;
  }
  export default function createOrben(options?: {
    locateFile?: (path: string) => string;
  }): Promise<OrbenModule>;
}
