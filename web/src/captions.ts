// The desktop's captions, hints and names, as src/windows writes them.

export const kAppTitle = 'ORBEN, el IDE para TUKA-2';
export const kVersionSection = 'ORBEN 0.1.0';
export const kOk = 'Aceptar';
export const kYes = 'Sí';
export const kNo = 'No';
export const kVale = '¡Vale!';
export const kCancelar = 'Cancelar';

export interface MenuEntry {
  id: string;
  caption?: string; // none: the machine gives it
  separator?: boolean;
  checkable?: boolean;
  shortcut?: string; // as aria-keyshortcuts names it
}

export interface Menu {
  button: string;
  caption: string;
  menu: string;
  items: MenuEntry[];
}

export const kMenus: Menu[] = [
  {
    button: 'Menu_Archivo',
    caption: 'Archivo',
    menu: 'PopArchivo',
    items: [
      { id: 'Cargarprogramaobjeto1', caption: 'Cargar programa objeto (.HEX, EHC)' },
      { id: 'MArchivo_Separador', separator: true },
      { id: 'MSalir_de_ORBEN', caption: 'Salir de ORBEN' },
    ],
  },
  {
    button: 'ToolButton1',
    caption: 'Entorno',
    menu: 'PopEntorno',
    items: [
      {
        id: 'EsconderMostrarelPanelInternodeTUKA21',
        caption: 'Esconder/Mostrar el Panel Interno de TUKA-2',
      },
      { id: 'N1', separator: true },
      { id: 'InicializarMemoria1', caption: 'Inicializar Memoria' },
      {
        id: 'MInicializar_memoria_al_Encender_TUKA2',
        caption: 'Inicializar memoria al Encender TUKA2',
        checkable: true,
      },
      { id: 'N2', separator: true },
      { id: 'MEsconderMostrarlosregistrosdeentrada1', caption: 'Esconder/Mostrar puertos de entrada' },
      { id: 'EsconderMostrarpuertosdesalida1', caption: 'Esconder/Mostrar puertos de salida' },
      { id: 'N3', separator: true },
      { id: 'VelocidaddeejecucinenmodoPP1', caption: 'Velocidad de ejecución en modo Paso a Paso' },
      { id: 'N4', separator: true },
      { id: 'Mododesensamblador1' },
    ],
  },
  {
    button: 'ToolButton2',
    caption: 'TUKA-2',
    menu: 'pop_TUKA2',
    items: [{ id: 'MApagar_TUKA2' }, { id: 'MModoPasoapaso' }],
  },
  {
    button: 'ToolButton3',
    caption: 'Programa',
    menu: 'pop_Programa',
    items: [
      { id: 'MNuevo_fuente', caption: 'Nuevo programa fuente' },
      { id: 'MAbrir_fuente', caption: 'Abrir programa fuente (.ASM)…' },
      { id: 'MGuardar_fuente', caption: 'Guardar programa fuente' },
      { id: 'MGuardar_fuente_como', caption: 'Guardar programa fuente como…' },
      { id: 'N5', separator: true },
      { id: 'MEnsamblar_y_cargar', caption: 'Ensamblar y cargar', shortcut: 'F9' },
      { id: 'MComprobar_casos', caption: 'Comprobar con casos (.TOML)…' },
      { id: 'N6', separator: true },
      { id: 'MPunto_de_parada', caption: 'Poner/Quitar punto de parada', shortcut: 'F2' },
      { id: 'MEjecutar_hasta_cursor', caption: 'Ejecutar hasta el cursor', shortcut: 'F4' },
      { id: 'MPaso_atras', caption: 'Paso atrás', shortcut: 'Control+Backspace' },
      { id: 'N7', separator: true },
      { id: 'MGuardar_memoria', caption: 'Guardar memoria como programa objeto…' },
      { id: 'MEditor_fuente', caption: 'Esconder/Mostrar el editor de programa fuente' },
      { id: 'MCompartir', caption: 'Compartir enlace' },
    ],
  },
];

// The shortcut as the menu shows it beside the item.
export const shownShortcut = (shortcut: string) => shortcut.replace('Control+', 'Ctrl+');

// The front panel's buttons: name, caption with its '&', place.
export interface ButtonPlace {
  id: string;
  caption: string;
  x: number;
  y: number;
  w: number;
  h: number;
}

export const kPanelButtons: ButtonPlace[] = (() => {
  const rows: [string, string, number][] = [
    ['BDireccion', 'D&irección', 29],
    ['BRegistros', '&Registros', 28],
    ['BCargar', 'Car&gar', 28],
    ['BEjecutar', 'E&jecutar', 29],
    ['BContinuar', 'Co&ntinuar', 29],
  ];
  let y = 100;
  return rows.map(([id, caption, h]) => {
    const place = { id, caption, x: 8, y, w: 110, h };
    y += h + 3;
    return place;
  });
})();

export const kPowerHint = 'Pulse aquí para Apagar/Encender TUKA-2.';
export const kKeypadHint = 'Teclado y puerto IP01';
export const kFrontPanelCaption = 'Panel frontal de TUKA-2';
export const kInternalPanelCaption = 'Panel interno de TUKA-2';
export const kFrontPageCaption = 'Panel frontal';
export const kPortHint = 'Para editar cada registro, haz click sobre el display correspondiente';
export const kValuePrompt = 'Teclée 0..9, A..F y pulse ¡vale!';
export const kValueTitle = 'Editar registro/puerto';

export const kFlagLetters = ['Z', 'S', 'C', 'V'] as const;
export const kDigits = '0123456789ABCDEF';

// Compartir enlace.
export const kShareCopied = 'Enlace copiado al portapapeles: quien lo abra verá este programa fuente en su editor.';
export const kShareShown = 'Copie este enlace para compartir el programa fuente:';
export const kShareTooLong = 'El programa fuente es demasiado largo para compartirlo por enlace: comprimido ocupa más de 16 KB.';
