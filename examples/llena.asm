; llena.asm: llena un bloque de memoria con un valor usando ST.
;
; ST escribe en la dirección RD + desplazamiento, y RD es también el
; destino de los saltos: la dirección que recorre el bloque se guarda en
; R4 y se copia en RD justo antes de cada ST.
;
; Resultado: las palabras 0100..010F valen 00AA; la 0110 no cambia.
;
; Ensamblar:  tuka2 asm llena.asm -o llena.ehc
;             tuka2 asm llena.asm -o llena.hex   (el mismo programa en Intel HEX)
; Ejecutar:   tuka2 run llena.hex --json --dump-memory

VALOR   EQU H'00AA          ; lo que se escribe
INICIO  EQU H'0100          ; primera palabra del bloque
CUANTAS EQU 16              ; palabras del bloque

        LLI R0, 0           ; la constante 0
        LLI R3, 1           ; la constante 1
        LDI R1, VALOR
        LDI R4, INICIO      ; dirección actual
        LLI R2, CUANTAS     ; palabras que faltan
bucle:  ADDS RD, R4, R0     ; RD := dirección actual
        ST [RD], R1
        ADDS R4, R4, R3     ; siguiente dirección
        SUBS R2, R2, R3     ; una menos (Z cuando no falta ninguna)
        LDI RD, fin
        BZ
        LDI RD, bucle
        BR
fin:    HALT
